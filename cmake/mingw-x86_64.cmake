# Cross build of the 64-bit DLL with MinGW-w64; tests run under 64-bit Wine
# (the emulator is set by the project, which knows the build tree).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QX_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
