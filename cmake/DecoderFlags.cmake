# The decoder is the installer's hot loop: its files are built for speed
# inside a runtime built for size. The runtime and the benchmark that
# measures it both take the list and the flags from here.
set(BRINDLE_DECODER_SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/../src/package/unpack.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/../src/package/block_checksum.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/../src/package/lzma_decoder.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/../src/package/x86_filter.cpp"
)
set(BRINDLE_DECODER_FLAGS -O2)

function(brindle_decoder_built_for_speed)
  set_source_files_properties(${BRINDLE_DECODER_SOURCES} PROPERTIES COMPILE_OPTIONS "${BRINDLE_DECODER_FLAGS}")
endfunction()
