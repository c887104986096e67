# What `cmake --install` puts in place, and the ZIP `cpack` makes of it.
#
# Windows (both DLLs), the layout an application developer unpacks:
#   bin/qxdll32.dll          the DLL
#   include/qxdll32.h        the public header
#   lib/libqxdll32.dll.a     MinGW import library (made by dlltool)
#   lib/qxdll32.def          export names and ordinals, for MSVC's lib /def
#   README.md, docs/         the guide and the reference pages
#
# Linux: lib/libqxdll32.so.* with its links, include/qxdll32.h, and
# lib/cmake/qxdll32/ so that find_package(qxdll32) gives qxdll32::qxdll32.
include(GNUInstallDirs)

if(WIN32)
  # The target's own import library is the unusable one ld writes beside
  # --kill-at (see WindowsDll.cmake): the DLL and the dlltool library are
  # installed as files instead.
  install(PROGRAMS $<TARGET_FILE:qxdll32> DESTINATION bin)
  # Shipped without its symbol table (less than half the size); the export
  # table and the resources stay, as the package tests check.
  install(CODE "
    set(dll \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/qxdll32.dll\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR \"could not strip \${dll}\")
    endif()")
  install(FILES $<TARGET_PROPERTY:qxdll32,QX_IMPORT_LIBRARY> DESTINATION lib)
  install(FILES $<TARGET_PROPERTY:qxdll32,QX_MSVC_DEF> DESTINATION lib RENAME qxdll32.def)
  install(FILES ${PROJECT_SOURCE_DIR}/include/qxdll32.h DESTINATION include)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION .)

  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(qx_arch win64)
  else()
    set(qx_arch win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME qxdll32)
  set(CPACK_PACKAGE_VENDOR qxdll32)
  set(QX_PACKAGE_NAME qxdll32-${PROJECT_VERSION}-${qx_arch})
  set(CPACK_PACKAGE_FILE_NAME ${QX_PACKAGE_NAME})
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
  # Only the project's own files: nothing from GoogleTest or elsewhere.
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};qxdll32;Unspecified;/")
  include(CPack)
else()
  set(qx_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/qxdll32)
  install(TARGETS qxdll32 EXPORT qxdll32Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/qxdll32.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT qxdll32Targets NAMESPACE qxdll32:: DESTINATION ${qx_cmake_dir})

  include(CMakePackageConfigHelpers)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/qxdll32Config.cmake.in
    ${CMAKE_BINARY_DIR}/qxdll32Config.cmake INSTALL_DESTINATION ${qx_cmake_dir})
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/qxdll32ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${CMAKE_BINARY_DIR}/qxdll32Config.cmake
                ${CMAKE_BINARY_DIR}/qxdll32ConfigVersion.cmake DESTINATION ${qx_cmake_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
