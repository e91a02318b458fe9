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
    -DBRINDLE_IMAGE_PACK=$<TARGET_FILE:brindle-image-pack>
  DEPENDS brindle-image-pack
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
)

# brindle-pack for Windows (x86-64): the tool alone, with the core it needs
# and liblzma built from xz's source.
file(GLOB xz_source_dirs "${CMAKE_SOURCE_DIR}/build/xz-source/xz-utils-*/CMakeLists.txt")
if(NOT xz_source_dirs)
  message(STATUS "brindle-pack.exe not built: xz's source is fetched by scripts/fetch_sources.sh")
  return()
endif()
ExternalProject_Add(win64_tool
  SOURCE_DIR "${CMAKE_SOURCE_DIR}"
  BINARY_DIR "${CMAKE_BINARY_DIR}/../win64-tool"
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DBRINDLE_WINDOWS_TOOL=ON
    -DBRINDLE_BIN_DIR=${BRINDLE_BIN_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
)
