// Libraries and platform programs come from the system folder only. The
// installer runs elevated from folders (a Downloads folder) into which
// anyone may have dropped a DLL or a program of a well-known name.
#pragma once

#include <string>

namespace brindle {

// Restricts the loader's search to the system folder for every library
// loaded from now on, the dependencies of delay-loaded and run-time loaded
// libraries included, and loads from there the libraries that system
// libraries bind late by bare name. Called before anything else in the
// program.
void restrictLibrarySearch();

// The system folder, ending in "\"; empty when the platform does not say.
std::string systemFolder();

// Loads `name` by its full path in the system folder, with its own
// dependencies from there too; null when it cannot.
void* loadSystemLibrary(const char* name);

// Undoes one loadSystemLibrary; null is passed over.
void releaseLibrary(void* library);

// The address of `name` in a loaded library; null when it is absent.
void* libraryFunction(void* library, const char* name);

template <typename Function>
Function libraryFunction(void* library, const char* name) {
    return reinterpret_cast<Function>(libraryFunction(library, name));
}

// Full path of a platform program such as "RunDll32.exe"; empty when the
// system folder is unknown.
std::string systemProgramPath(const char* name);

}  // namespace brindle
