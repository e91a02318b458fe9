# Each folder of src/ is a layer and one static library, brindle_<folder>,
# that links only the layers below it:
#
#   brindle_layer(<folder> [BELOW <folders>...] SOURCES <portable sources>...
#                 [WIN32_SOURCES <the runtime's platform side>...])
#
# The Win32 sources are built only for the runtime and the uninstaller
# (i686), not for the Windows tool. BRINDLE_LAYER_FLAGS are compile and link
# flags of every layer and what links it (the fuzz build's). Each suffix in
# BRINDLE_LAYER_VARIANTS builds every layer once more, as
# brindle_<folder><suffix> with the flags BRINDLE_LAYER_FLAGS<suffix> (the
# unit tests link such a variant with sanitizers). Where
# BRINDLE_LAYER_LINK_CHECK is on, the build also links every layer whole
# against the layers below it alone, so that a call into a layer above fails
# the build.
set(BRINDLE_RUNTIME_BUILD OFF)
if(WIN32 AND NOT BRINDLE_WINDOWS_TOOL)
  set(BRINDLE_RUNTIME_BUILD ON)
endif()

set(BRINDLE_LAYER_CHECK_MAIN "${CMAKE_BINARY_DIR}/layer_link_check.cpp")
file(CONFIGURE OUTPUT "${BRINDLE_LAYER_CHECK_MAIN}" CONTENT "int main() { return 0; }\n")

function(brindle_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "BELOW;SOURCES;WIN32_SOURCES")
  set(sources ${layer_SOURCES})
  if(BRINDLE_RUNTIME_BUILD)
    list(APPEND sources ${layer_WIN32_SOURCES})
  endif()
  foreach(variant IN ITEMS "" ${BRINDLE_LAYER_VARIANTS})
    set(name brindle_${folder}${variant})
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_compile_options(${name} PUBLIC ${BRINDLE_LAYER_FLAGS${variant}})
    target_link_options(${name} PUBLIC ${BRINDLE_LAYER_FLAGS${variant}})
    foreach(below IN LISTS layer_BELOW)
      target_link_libraries(${name} PUBLIC brindle_${below}${variant})
    endforeach()
  endforeach()

  # The folders this layer's files may include, for the include check.
  set(reachable ${folder})
  foreach(below IN LISTS layer_BELOW)
    get_property(below_reachable GLOBAL PROPERTY BRINDLE_LAYER_REACHES_${below})
    list(APPEND reachable ${below_reachable})
  endforeach()
  list(REMOVE_DUPLICATES reachable)
  set_property(GLOBAL PROPERTY BRINDLE_LAYER_REACHES_${folder} ${reachable})
  set_property(GLOBAL APPEND PROPERTY BRINDLE_LAYERS ${folder})

  if(BRINDLE_LAYER_LINK_CHECK)
    set(check brindle_${folder}_link_check)
    add_executable(${check} "${BRINDLE_LAYER_CHECK_MAIN}")
    target_link_libraries(${check} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,brindle_${folder}>")
    set_target_properties(${check} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
endfunction()

# "folder=reachable,folders|..." of every layer made so far, for the include check.
function(brindle_layer_table out)
  get_property(layers GLOBAL PROPERTY BRINDLE_LAYERS)
  set(rows "")
  foreach(folder IN LISTS layers)
    get_property(reachable GLOBAL PROPERTY BRINDLE_LAYER_REACHES_${folder})
    list(JOIN reachable "," reachable)
    list(APPEND rows "${folder}=${reachable}")
  endforeach()
  list(JOIN rows "|" rows)
  set(${out} "${rows}" PARENT_SCOPE)
endfunction()
