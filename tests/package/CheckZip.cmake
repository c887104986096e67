# cmake -DBUILD_DIR=<build tree> -DWORK=<scratch folder> -DZIP_NAME=<file name>
#       -DCC=<MinGW C compiler> -DTRIPLET=<MinGW triplet> -DCPACK=<cpack>
#       -DCONSUMER=<consumer.c> -DCHECK_DLL=<CheckDll.cmake> -DDEF=<include/qxdll32.def>
#       [-DRUN=<wine-run.sh> -DPREFIX=<Wine prefix>] -P CheckZip.cmake
#
# The Windows package as a developer receives it: cpack makes the ZIP, which
# is unpacked into a scratch folder and must hold exactly the documented
# files. A C program is then compiled and linked with the command the README
# gives, against the unpacked header and import library only; the DLL copied
# beside it must export what the packaged .def and the project's own
# include/qxdll32.def list, at their ordinals, the program must import
# plain names from it, and where RUN is given the program runs under Wine.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/unpacked ${WORK}/app)

run(${CPACK} -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK}/dist)
set(zip ${WORK}/dist/${ZIP_NAME}.zip)
if(NOT EXISTS ${zip})
  file(GLOB made ${WORK}/dist/*)
  message(FATAL_ERROR "cpack made no ${ZIP_NAME}.zip; it made: ${made}")
endif()

# The ZIP holds one folder named after it.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${WORK}/unpacked
                RESULT_VARIABLE rc)
file(GLOB top RELATIVE ${WORK}/unpacked ${WORK}/unpacked/*)
if(NOT rc EQUAL 0 OR NOT top STREQUAL ZIP_NAME)
  message(FATAL_ERROR "${zip} does not unpack into the single folder ${ZIP_NAME} (${top})")
endif()
set(pkg ${WORK}/unpacked/${ZIP_NAME})

file(GLOB_RECURSE files RELATIVE ${pkg} ${pkg}/*)
set(failures "")
foreach(need bin/qxdll32.dll include/qxdll32.h lib/libqxdll32.dll.a lib/qxdll32.def README.md)
  if(NOT need IN_LIST files)
    string(APPEND failures "missing ${need}\n")
  endif()
endforeach()
set(docs ${files})
list(FILTER docs INCLUDE REGEX "^docs/.")
if(NOT docs)
  string(APPEND failures "no reference pages under docs/\n")
endif()
list(FILTER files EXCLUDE REGEX "^docs/.")
list(LENGTH files count)
if(NOT count EQUAL 5)
  string(APPEND failures "unexpected files: ${files}\n")
endif()
# MSVC's lib /def: on x86 every name carries its stdcall argument size (so
# the import records bind decorated references to the plain exports); on
# x64 names are plain.
file(STRINGS ${pkg}/lib/qxdll32.def entries REGEX "^[ \t]+qx")
file(STRINGS ${pkg}/lib/qxdll32.def decorated REGEX "^[ \t]+qx[A-Za-z0-9]+@[0-9]+ ")
if(TRIPLET MATCHES "^i686" AND NOT decorated STREQUAL entries)
  string(APPEND failures "lib/qxdll32.def lacks stdcall sizes for x86 MSVC\n")
elseif(NOT TRIPLET MATCHES "^i686" AND decorated)
  string(APPEND failures "lib/qxdll32.def lists decorated names: ${decorated}\n")
endif()
if(failures)
  message(FATAL_ERROR "${zip}:\n${failures}")
endif()

# The README's MinGW command, run from the application's folder.
file(COPY ${CONSUMER} DESTINATION ${WORK}/app)
file(COPY ${pkg}/bin/qxdll32.dll DESTINATION ${WORK}/app)
execute_process(
  COMMAND ${CC} -Wall -Wextra -Werror -I ${pkg}/include consumer.c -L ${pkg}/lib -lqxdll32
          -o consumer.exe
  WORKING_DIRECTORY ${WORK}/app RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the consumer does not build against the unpacked package:\n${out}")
endif()

foreach(def ${pkg}/lib/qxdll32.def ${DEF})
  run(${CMAKE_COMMAND} -DDLL=${WORK}/app/qxdll32.dll -DDEF=${def} -DTRIPLET=${TRIPLET}
      -DCLIENT=${WORK}/app/consumer.exe -P ${CHECK_DLL})
endforeach()

if(RUN)
  run(${RUN} ${PREFIX} ${WORK}/app/consumer.exe)
  if(NOT out MATCHES "qxdll32 1.13 from the package: report.txt, ")
    message(FATAL_ERROR "unexpected consumer output: ${out}")
  endif()
  message(STATUS "${out}")
endif()
list(LENGTH docs ndocs)
message(STATUS "${ZIP_NAME}.zip: 5 files and ${ndocs} reference files; the consumer links")
