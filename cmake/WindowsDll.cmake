# qxdll32.dll: stdcall exports with undecorated names at the fixed ordinals
# of include/qxdll32.def, the version block and resources, and a MinGW
# import library that resolves the decorated names clients reference.
set(QX_DEF_DECORATED ${PROJECT_SOURCE_DIR}/include/qxdll32.def)
set(QX_DEF_PLAIN ${CMAKE_BINARY_DIR}/qxdll32-plain.def)

# The plain-name form (name @ordinal) serves the 64-bit link, where stdcall
# names carry no suffix, and MSVC users' lib /def.
file(READ ${QX_DEF_DECORATED} qx_def_text)
string(REGEX REPLACE "@[0-9]+ @" " @" qx_def_text "${qx_def_text}")
# Its header says what it holds (the source's speaks of the decoration).
string(REGEX REPLACE "^(;[^\n]*\n)+" "" qx_def_text "${qx_def_text}")
string(PREPEND qx_def_text
  "; Export table of qxdll32.dll: names as the DLL exports them (undecorated)\n"
  "; and their fixed ordinals (base 2).\n")
file(WRITE ${QX_DEF_PLAIN}.tmp "${qx_def_text}")
file(COPY_FILE ${QX_DEF_PLAIN}.tmp ${QX_DEF_PLAIN} ONLY_IF_DIFFERENT)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${QX_DEF_DECORATED})

# The export list shipped for MSVC's lib /def. On x86 it keeps each name's
# stdcall argument size: lib then makes import records that bind callers'
# decorated references (qxGetVersion@0) to the undecorated exports, which a
# plain list cannot do. On x64 stdcall names carry no suffix.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QX_DEF_LINK ${QX_DEF_PLAIN})
  set(QX_DEF_MSVC ${QX_DEF_PLAIN})
else()
  set(QX_DEF_LINK ${QX_DEF_DECORATED})
  set(QX_DEF_MSVC ${CMAKE_BINARY_DIR}/qxdll32-msvc.def)
  file(READ ${QX_DEF_DECORATED} qx_def_text)
  string(REGEX REPLACE "^(;[^\n]*\n)+" "" qx_def_text "${qx_def_text}")
  string(PREPEND qx_def_text
    "; Export table of qxdll32.dll (32-bit) and its fixed ordinals (base 2), for\n"
    "; lib /def:qxdll32.def /machine:x86. Each name carries its stdcall argument\n"
    "; size (name@bytes); the DLL exports the names without it.\n")
  file(WRITE ${QX_DEF_MSVC}.tmp "${qx_def_text}")
  file(COPY_FILE ${QX_DEF_MSVC}.tmp ${QX_DEF_MSVC} ONLY_IF_DIFFERENT)
endif()

target_sources(qxdll32 PRIVATE ${QX_DEF_LINK} ${PROJECT_SOURCE_DIR}/res/qxdll32.rc)
target_link_options(qxdll32 PRIVATE -Wl,--kill-at)
set_target_properties(qxdll32 PROPERTIES
  PREFIX ""
  # The import library ld writes beside --kill-at is unusable for stdcall
  # clients; it is set aside and dlltool makes the real one below.
  IMPORT_PREFIX "ld-"
  IMPORT_SUFFIX ".dll.a")
set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/qxdll32.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/res/resource.h ${CMAKE_BINARY_DIR}/generated/qx_version.h)

set(QX_IMPLIB ${CMAKE_BINARY_DIR}/lib/libqxdll32.dll.a)
add_custom_command(OUTPUT ${QX_IMPLIB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
  COMMAND ${QX_TRIPLET}-dlltool -d ${QX_DEF_LINK} -D qxdll32.dll -k -l ${QX_IMPLIB}
  DEPENDS ${QX_DEF_LINK}
  COMMENT "Import library libqxdll32.dll.a"
  VERBATIM)
# Built with everything: it is installed and packaged beside the DLL.
add_custom_target(qxdll32_implib ALL DEPENDS ${QX_IMPLIB})
set_target_properties(qxdll32 PROPERTIES
  QX_IMPORT_LIBRARY ${QX_IMPLIB}
  QX_MSVC_DEF ${QX_DEF_MSVC})

# What a client program links: the header and the import library, with the
# DLL built beside it.
add_library(qxdll32_client INTERFACE)
target_include_directories(qxdll32_client INTERFACE ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(qxdll32_client INTERFACE ${QX_IMPLIB})
add_dependencies(qxdll32_client qxdll32 qxdll32_implib)
