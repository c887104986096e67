# cmake -DDLL=qxdll32.dll -DDEF=qxdll32.def -DTRIPLET=<mingw triplet>
#       [-DCLIENT=program.exe] -P CheckDll.cmake
#
# Static checks of a built qxdll32.dll, without running it: the export table
# is exactly the .def's names at its ordinals (base 2, names undecorated),
# the imports are Windows system DLLs only, and the version block says
# 1.13.0.0 in resource language 1041. CLIENT, a program linked through the
# import library, must import its functions from qxdll32.dll by their plain
# names (the stdcall decoration resolved at link time).
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${TRIPLET}-objdump -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
set(failures "")

# Expected exports from the .def: "name@bytes @ordinal".
file(STRINGS ${DEF} def_lines REGEX "^[ \t]+qx")
set(expected "")
foreach(line IN LISTS def_lines)
  string(REGEX MATCH "(qx[A-Za-z0-9]+)(@[0-9]+)?[ \t]+@([0-9]+)" _ "${line}")
  list(APPEND expected "${CMAKE_MATCH_3} ${CMAKE_MATCH_1}")
endforeach()
list(SORT expected COMPARE NATURAL)

if(NOT dump MATCHES "Ordinal Base 2\n")
  string(APPEND failures "ordinal base is not 2\n")
endif()

# "[ n] +base[ ord] name" lines of the name pointer table; ordinal = n + 2.
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" rows "${dump}")
set(actual "")
foreach(row IN LISTS rows)
  if(row MATCHES "\\[ *([0-9]+)\\] (\\+base\\[ *[0-9]+\\] [0-9a-f]+ )?([A-Za-z0-9_@]+)$")
    math(EXPR ordinal "${CMAKE_MATCH_1} + 2")
    list(APPEND actual "${ordinal} ${CMAKE_MATCH_3}")
  endif()
endforeach()
list(SORT actual COMPARE NATURAL)
if(NOT actual STREQUAL expected)
  string(APPEND failures "exports differ from the .def\n  expected: ${expected}\n  actual:   ${actual}\n")
endif()

# Imports: system DLLs only.
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed kernel32.dll user32.dll advapi32.dll shell32.dll ole32.dll comctl32.dll msvcrt.dll)
foreach(entry IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${entry}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST allowed AND NOT name MATCHES "^api-ms-win-crt-")
    string(APPEND failures "imports ${name}, which is not a Windows system DLL\n")
  endif()
endforeach()

# Version block and its language, read back through windres.
execute_process(COMMAND ${TRIPLET}-windres -J pe-coff -O rc -i ${DLL}
                OUTPUT_VARIABLE rc_text RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  execute_process(COMMAND ${TRIPLET}-windres -O rc -i ${DLL}
                  OUTPUT_VARIABLE rc_text RESULT_VARIABLE rc)
endif()
if(NOT rc_text MATCHES "FILEVERSION 1, 13, 0, 0")
  string(APPEND failures "file version is not 1.13.0.0\n")
endif()
if(NOT rc_text MATCHES "LANGUAGE 17, 1")
  string(APPEND failures "resources are not in language 1041 (Japanese)\n")
endif()

if(CLIENT)
  execute_process(COMMAND ${TRIPLET}-objdump -p ${CLIENT} OUTPUT_VARIABLE client_dump)
  string(REGEX MATCH "DLL Name: qxdll32.dll\n[^\n]*\n[^\n]*\n([^D]|D[^L])*" client_imports
         "${client_dump}")
  string(REGEX MATCHALL "qx[A-Za-z0-9@]+" client_names "${client_imports}")
  if(NOT client_names)
    string(APPEND failures "${CLIENT} imports nothing from qxdll32.dll\n")
  endif()
  foreach(name IN LISTS client_names)
    if(name MATCHES "@")
      string(APPEND failures "${CLIENT} imports the decorated name ${name}\n")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "${DLL}:\n${failures}")
endif()
list(LENGTH actual count)
message(STATUS "${DLL}: ${count} exports at their ordinals, system imports only, version 1.13.0.0")
