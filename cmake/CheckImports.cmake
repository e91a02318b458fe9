# cmake -DOBJDUMP=... -DPROGRAM=... -P CheckImports.cmake
# Fails when PROGRAM imports at start any library other than those the
# platform always takes from the system folder; every other one is bound
# late (src/toolkit/late_imports_win32.cpp), and a function missing from
# that table would otherwise be imported silently.
cmake_minimum_required(VERSION 3.20)
set(allowed ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL)
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
foreach(entry IN LISTS names)
  string(REPLACE "DLL Name: " "" library "${entry}")
  string(TOUPPER "${library}" library)
  if(NOT library IN_LIST allowed)
    file(REMOVE "${PROGRAM}")  # so that the next build checks again
    message(FATAL_ERROR "${PROGRAM} imports ${library} at start; bind it late in src/toolkit/late_imports_win32.cpp")
  endif()
endforeach()
