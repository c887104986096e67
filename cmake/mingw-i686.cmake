# Cross build of the shipped 32-bit DLL with MinGW-w64. Its tests are static
# checks of the built files; nothing 32-bit is run here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QX_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
