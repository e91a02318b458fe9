# liblzma, the LZMA method's encoder in the tools. Natively the system's
# (liblzma-dev); for brindle-pack.exe, which has no system library to link,
# and for the benchmark, which builds it with the decoder's flags, a static
# target `liblzma` built from the distribution's xz source
# (scripts/fetch_sources.sh).
function(brindle_liblzma_from_source xz_source)
  set(BUILD_SHARED_LIBS OFF)
  set(ENABLE_NLS OFF CACHE BOOL "" FORCE)
  # Only the library: none of xz's programs or their links.
  set(CREATE_XZ_SYMLINKS OFF CACHE BOOL "" FORCE)
  set(CREATE_LZMA_SYMLINKS OFF CACHE BOOL "" FORCE)
  add_subdirectory("${xz_source}" xz-build EXCLUDE_FROM_ALL)
  # xz keeps its API private; only this build reads it from there.
  target_include_directories(liblzma INTERFACE "$<BUILD_INTERFACE:${xz_source}/src/liblzma/api>")
endfunction()

# Sets `out` to the library target the tools link.
function(brindle_liblzma out)
  if(NOT BRINDLE_WINDOWS_TOOL)
    find_package(LibLZMA REQUIRED)
    set(${out} LibLZMA::LibLZMA PARENT_SCOPE)
    return()
  endif()
  file(GLOB xz_source_dirs "${PROJECT_SOURCE_DIR}/build/xz-source/xz-utils-*")
  list(FILTER xz_source_dirs EXCLUDE REGEX "\\.(tar|dsc)")
  if(NOT xz_source_dirs)
    message(FATAL_ERROR "brindle-pack.exe needs xz's source: run scripts/fetch_sources.sh")
  endif()
  list(GET xz_source_dirs 0 xz_source)
  brindle_liblzma_from_source("${xz_source}")
  set(${out} liblzma PARENT_SCOPE)
endfunction()
