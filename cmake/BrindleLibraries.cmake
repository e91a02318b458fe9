# The portable core and the platform file layer, as libraries that the
# runtime, the tools and the tests link. brindle_core_for(<name> <flags>)
# builds a variant with extra compile and link flags (the unit tests use a
# sanitizer variant).
set(BRINDLE_CORE_SOURCES
  src/package/block_checksum.cpp
  src/package/unpack.cpp
  src/package/lzma_decoder.cpp
  src/package/x86_filter.cpp
  src/package/block_method.cpp
  src/package/pack.cpp
  src/package/match_finder.cpp
  src/package/optimal_parse.cpp
  src/package/literal_plan.cpp
  src/package/index_width.cpp
  src/package/token_writer.cpp
  src/package/package_format.cpp
  src/package/package_reader.cpp
  src/package/signed_image.cpp
  src/package/package_writer.cpp
  src/package/entry_name.cpp
  src/package/entry_data.cpp
  src/package/extraction.cpp
  src/package/package_check.cpp
  src/config/preference_file.cpp
  src/toolkit/text_encoding.cpp
  src/config/setup_settings.cpp
  src/config/language_texts.cpp
  src/config/language_choice.cpp
  src/config/path_macros.cpp
  src/wizard/page_navigation.cpp
  src/wizard/folder_fields.cpp
  src/wizard/version_summary.cpp
  src/wizard/version_dialog_texts.cpp
  src/wizard/start_menu_folders.cpp
  src/install/progress_lines.cpp
  src/install/uninstall_data.cpp
  src/install/uninstall_entry.cpp
  src/install/link_names.cpp
  src/install/shortcut_plan.cpp
  src/install/user_tasks.cpp
  src/install/install_step.cpp
  src/install/running_program.cpp
  src/run/run_ending.cpp
  src/uninstall/uninstall_record.cpp
  src/uninstall/protected_folders.cpp
  src/uninstall/removal_plan.cpp
  src/uninstall/removal.cpp
  src/uninstall/command_line.cpp
  src/toolkit/file_tree.cpp
  src/toolkit/file_paths.cpp
  src/toolkit/replacement_file.cpp
)
if(BRINDLE_WINDOWS_TOOL)
  set(BRINDLE_PLATFORM_SOURCES src/toolkit/files_utf8_win32.cpp src/toolkit/files_handles_win32.cpp)
elseif(WIN32)
  set(BRINDLE_PLATFORM_SOURCES
    src/toolkit/files_win32.cpp
    src/toolkit/files_handles_win32.cpp
    src/toolkit/registry_win32.cpp
    src/config/system_folders_win32.cpp
    src/toolkit/programs_win32.cpp
    src/toolkit/ui_windows_win32.cpp
    src/toolkit/ui_events_win32.cpp
    src/toolkit/ui_images_win32.cpp
    src/toolkit/ui_tree_win32.cpp
    src/toolkit/ui_scale_win32.cpp
    src/toolkit/system_libraries_win32.cpp
    src/toolkit/late_imports_win32.cpp
    src/toolkit/library_failures_win32.cpp
    src/toolkit/private_folder_win32.cpp
    src/wizard/wizard_window_win32.cpp
    src/wizard/wizard_loop_win32.cpp
    src/wizard/documents_win32.cpp
    src/wizard/language_chooser_win32.cpp
    src/wizard/version_info_win32.cpp
    src/wizard/version_dialog_win32.cpp
    src/wizard/start_menu_chooser_win32.cpp
    src/install/system_install_actions_win32.cpp
    src/install/shortcuts_win32.cpp
    src/run/hooks_win32.cpp
    src/install/running_check_win32.cpp
    src/toolkit/system_paths_win32.cpp
    src/install/remembered_choices_win32.cpp
    src/wizard/install_page_win32.cpp
  )
else()
  set(BRINDLE_PLATFORM_SOURCES src/toolkit/files_posix.cpp)
endif()
# The LZMA method's encoder is liblzma's: the tools pack, the runtime only
# decodes.
if(NOT WIN32 OR BRINDLE_WINDOWS_TOOL)
  list(APPEND BRINDLE_CORE_SOURCES src/package/lzma_pack.cpp)
endif()
list(TRANSFORM BRINDLE_CORE_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")
list(TRANSFORM BRINDLE_PLATFORM_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/")

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/DecoderFlags.cmake)
  brindle_decoder_built_for_speed()
  # The late-import thunks are assembly that names C++ objects of the same
  # file; optimised at link time, those could be renamed or dropped.
  set_source_files_properties("${CMAKE_SOURCE_DIR}/src/toolkit/late_imports_win32.cpp" PROPERTIES COMPILE_OPTIONS -fno-lto)
endif()

function(brindle_core_for name)
  add_library(${name} STATIC ${BRINDLE_CORE_SOURCES} ${BRINDLE_PLATFORM_SOURCES})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
  target_compile_options(${name} PUBLIC ${ARGN})
  target_link_options(${name} PUBLIC ${ARGN})
  if(NOT WIN32 OR BRINDLE_WINDOWS_TOOL)
    target_link_libraries(${name} PUBLIC ${BRINDLE_LZMA_LIBRARY})
  endif()
  if(WIN32 AND NOT BRINDLE_WINDOWS_TOOL)
    # Only stb's own folder: the rest of /usr/include is the host's.
    target_include_directories(${name} SYSTEM PRIVATE /usr/include/stb)
    target_link_libraries(${name} PUBLIC uuid advapi32)
  endif()
endfunction()

if(BRINDLE_WINDOWS_TOOL)
  # liblzma for Windows, static like the rest of the tool.
  file(GLOB xz_source_dirs "${CMAKE_SOURCE_DIR}/build/xz-source/xz-utils-*")
  list(FILTER xz_source_dirs EXCLUDE REGEX "\\.(tar|dsc)")
  if(NOT xz_source_dirs)
    message(FATAL_ERROR "brindle-pack.exe needs xz's source: run scripts/fetch_sources.sh")
  endif()
  list(GET xz_source_dirs 0 xz_source)
  include(${CMAKE_CURRENT_LIST_DIR}/LiblzmaFromSource.cmake)
  brindle_liblzma_from_source("${xz_source}")
  set(BRINDLE_LZMA_LIBRARY liblzma)
elseif(NOT WIN32)
  find_package(LibLZMA REQUIRED)
  set(BRINDLE_LZMA_LIBRARY LibLZMA::LibLZMA)
endif()

brindle_core_for(brindle_core)
