# Writes a C++ source that holds files as byte arrays, for `brindle-pack init`.
# Run as: cmake -DROOT=folder -DFILES="a|b/c" -DOUTPUT=file.cpp -P EmbedFiles.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(arrays "")
set(table "")
set(index 0)
foreach(name IN LISTS FILES)
  file(READ "${ROOT}/${name}" bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {\n${bytes}0};\n")
  string(APPEND table "    {\"${name}\", kFile${index}, sizeof kFile${index} - 1},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Written by cmake/EmbedFiles.cmake from ${ROOT}.\n#include \"commands/example_project.h\"\n\n"
  "namespace brindle::tool {\n\nnamespace {\n${arrays}\nconst EmbeddedFile kFiles[] = {\n${table}};\n}  // namespace\n\n"
  "std::span<const EmbeddedFile> exampleProject() { return kFiles; }\n\n}  // namespace brindle::tool\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
