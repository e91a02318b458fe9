# brindle_windows_program(<target> LAYER <library> ASSEMBLY <manifest name>
#                         DESCRIPTION <text> SOURCES <sources>...)
#
# A PE32 GUI program of the runtime's kind (the installer, the uninstaller):
# linked statically so that it starts on a clean system with nothing beside
# it, unused sections dropped and symbols stripped; the program's icon and a
# manifest that asks for administrator rights (the caller says why), the
# common controls of version 6 and each display's own scale; and a check
# after the link that it imports at start nothing but what the platform
# always takes from the system folder.
set(BRINDLE_PROGRAM_RESOURCES "${CMAKE_CURRENT_LIST_DIR}/../src/toolkit/resources")
# The programs' own entry, in place of the C runtime's start-up.
set(BRINDLE_PROGRAM_START "${CMAKE_CURRENT_LIST_DIR}/../src/toolkit/program_start_win32.cpp")
# Without the C runtime's objects this linker (binutils 2.40) leaves out the
# sections of a library member that only the link-time optimised code asks
# for, and crashes on them while it writes the relocations. The C library's
# and the compiler's helpers that the optimised code calls are therefore
# loaded before the optimisation; a link that crashes after a change calls
# a new one, to be added here.
set(BRINDLE_HELPERS_LOADED_FIRST __divdi3 abort free malloc memchr memcmp memcpy memmove memset strlen)
list(TRANSFORM BRINDLE_HELPERS_LOADED_FIRST PREPEND "-Wl,-u,_")

function(brindle_windows_program target)
  cmake_parse_arguments(PARSE_ARGV 1 program "" "LAYER;ASSEMBLY;DESCRIPTION" "SOURCES")
  set(PROGRAM_ASSEMBLY "${program_ASSEMBLY}")
  set(PROGRAM_DESCRIPTION "${program_DESCRIPTION}")
  set(PROGRAM_ICON "${BRINDLE_PROGRAM_RESOURCES}/brindle.ico")
  set(PROGRAM_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  # The manifest as the system reads it: without the comments and the
  # layout that keep its source readable.
  file(READ "${BRINDLE_PROGRAM_RESOURCES}/program.manifest.in" manifest)
  string(REGEX REPLACE "<!--[^>]*-->" "" manifest "${manifest}")
  string(REGEX REPLACE "[ \r\n]*\n *" " " manifest "${manifest}")
  string(REPLACE "> <" "><" manifest "${manifest}")
  string(STRIP "${manifest}" manifest)
  file(CONFIGURE OUTPUT "${PROGRAM_MANIFEST}" CONTENT "${manifest}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${BRINDLE_PROGRAM_RESOURCES}/program.manifest.in")
  configure_file("${BRINDLE_PROGRAM_RESOURCES}/program.rc.in" "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc" @ONLY)

  add_executable(${target} WIN32 ${program_SOURCES} "${BRINDLE_PROGRAM_START}" "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  # The resource compiler does not report what a script pulls in.
  set_source_files_properties("${CMAKE_CURRENT_BINARY_DIR}/${target}.rc" PROPERTIES OBJECT_DEPENDS
    "${PROGRAM_ICON};${PROGRAM_MANIFEST}")
  # Only the linker names the entry: optimised at link time, it could be
  # renamed or dropped.
  set_source_files_properties("${BRINDLE_PROGRAM_START}" PROPERTIES COMPILE_OPTIONS -fno-lto)
  target_link_libraries(${target} PRIVATE ${program_LAYER})
  # Imported data would need the C runtime's relocator: the link refuses it.
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections -nostartfiles
                      -Wl,--entry=_brindleProgramStart -Wl,--disable-auto-import ${BRINDLE_HELPERS_LOADED_FIRST})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake
    VERBATIM)
  # Packed once linked: the code and data travel as one LZMA block behind a
  # small loader (src/package/packed_image.h).
  if(BRINDLE_IMAGE_PACK)
    add_dependencies(${target} brindle-image-loader)
    # Linked again, and so packed again, when the loader or the packer changes.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 $<TARGET_FILE:brindle-image-loader> "${BRINDLE_IMAGE_PACK}")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND "${BRINDLE_IMAGE_PACK}" $<TARGET_FILE:${target}> $<TARGET_FILE:brindle-image-loader>
      VERBATIM)
  endif()
endfunction()
