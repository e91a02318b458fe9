# The Windows programs are a second build of the same tree with the mingw-w64
# toolchain, driven from the native build so that one build makes everything.
include(ExternalProject)
ExternalProject_Add(win32
  SOURCE_DIR "${CMAKE_SOURCE_DIR}"
  BINARY_DIR "${CMAKE_BINARY_DIR}/../win32"
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=MinSizeRel
    -DBRINDLE_BIN_DIR=${BRINDLE_BIN_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
)
