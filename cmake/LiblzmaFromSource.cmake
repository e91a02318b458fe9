# liblzma built from the distribution's xz source (scripts/fetch_sources.sh)
# as a static library target `liblzma`: for brindle-pack.exe, which has no
# system library to link, and for the benchmark, which builds it with the
# decoder's flags.
function(brindle_liblzma_from_source xz_source)
  set(BUILD_SHARED_LIBS OFF)
  set(ENABLE_NLS OFF CACHE BOOL "" FORCE)
  # Only the library: none of xz's programs or their links.
  set(CREATE_XZ_SYMLINKS OFF CACHE BOOL "" FORCE)
  set(CREATE_LZMA_SYMLINKS OFF CACHE BOOL "" FORCE)
  add_subdirectory("${xz_source}" xz-build EXCLUDE_FROM_ALL)
  target_include_directories(liblzma INTERFACE "${xz_source}/src/liblzma/api")  # xz keeps its API private
endfunction()
