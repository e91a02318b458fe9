#pragma once

#include <string>

namespace brindle {

// Streams a document into an editor: rich text when the file's extension is
// "rtf" in any case, plain text otherwise. A file that cannot be opened
// leaves the editor as it was.
void loadDocument(int editor, const std::string& path);

// The licence or readme: work directory + `name` + ".rtf", else ".txt".
void loadFirstDocument(int editor, const std::string& workDirectory, const std::string& name);

// Whether an editor holds any text.
bool editorHasText(int editor);

}  // namespace brindle
