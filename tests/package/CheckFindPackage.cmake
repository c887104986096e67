# cmake -DBUILD_DIR=<build tree> -DWORK=<scratch folder> -DCONSUMER_DIR=<project>
#       -DCC=<C compiler> [-DFLAGS=<compile and link flags>] -P CheckFindPackage.cmake
#
# The Linux package as another CMake project uses it: the build tree is
# installed into a scratch prefix, which must hold the library with its
# version links, the header and the package files; the consumer project then
# finds it with find_package(qxdll32), links qxdll32::qxdll32, and runs.
# FLAGS carries the sanitizer options of an instrumented library.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

file(REMOVE_RECURSE ${WORK})
set(stage ${WORK}/stage)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage})

# find_package and the build below use the rest.
set(failures "")
foreach(need lib/libqxdll32.so.1.13.0.0 share/doc/qxdll32/README.md)
  if(NOT EXISTS ${stage}/${need} OR IS_SYMLINK ${stage}/${need})
    string(APPEND failures "missing ${need}\n")
  endif()
endforeach()
foreach(link libqxdll32.so libqxdll32.so.1)
  if(NOT IS_SYMLINK ${stage}/lib/${link})
    string(APPEND failures "lib/${link} is not a link\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${stage}:\n${failures}")
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK}/build -DCMAKE_PREFIX_PATH=${stage}
    -DCMAKE_C_COMPILER=${CC} "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK}/build)
run(${WORK}/build/consumer)
if(NOT out MATCHES "qxdll32 1.13 from the package: report.txt, ")
  message(FATAL_ERROR "unexpected consumer output: ${out}")
endif()
message(STATUS "${out}")
