# Fails when a file of a folder of src/ includes a folder that its layer's
# library does not reach through the layers below it. The link check of the
# build catches calls upwards; this one catches what needs no call, such as
# an interface, an inline function or a record of a layer above.
# Run with: cmake -DSOURCE_DIR=<repo> -DLAYERS="<folder>=<reachable,folders>|..." -P CheckLayers.cmake
# (LAYERS as brindle_layer_table in BrindleLayers.cmake gives it).
cmake_minimum_required(VERSION 3.20)
string(REPLACE "|" ";" rows "${LAYERS}")
set(layers "")
foreach(row IN LISTS rows)
  string(REPLACE "=" ";" parts "${row}")
  list(GET parts 0 layer)
  list(GET parts 1 reachable)
  string(REPLACE "," ";" reachable_${layer} "${reachable}")
  list(APPEND layers ${layer})
endforeach()

set(violations "")
foreach(layer IN LISTS layers)
  file(GLOB files "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp")
  foreach(path IN LISTS files)
    file(STRINGS "${path}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${line}")
      if(NOT target IN_LIST reachable_${layer})
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${path}")
        list(APPEND violations "${shown}: ${layer}/ includes ${target}/ (${line})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Includes against the layer order:\n${text}")
endif()
