# qx_add_test(NAME SOURCES... [LIBS libs...] [CODEPAGES page...])
#
# One GoogleTest program, registered test by test with CTest. Natively it
# links the library's objects (internals included); on Windows it links the
# real DLL through its import library and runs under Wine. CODEPAGES runs the
# program again per code page: natively 1252 (QXDLL_CODEPAGE), under Wine
# 932 (a Japanese host locale, set up by scripts/wine-run.sh). Each extra
# run expects its page, so a run that silently fell back to another page
# fails instead of skipping.
include(GoogleTest)

function(qx_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS;CODEPAGES")
  add_executable(${name} ${arg_SOURCES})
  target_compile_options(${name} PRIVATE ${QX_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32)
    target_link_libraries(${name} PRIVATE qxdll32_client qx_test_support GTest::gtest_main
                                          ${arg_LIBS})
  else()
    target_link_libraries(${name} PRIVATE qxdll32_objects qx_test_support GTest::gtest_main
                                          ${arg_LIBS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 60)
  foreach(page IN LISTS arg_CODEPAGES)
    if(WIN32 AND page STREQUAL "932")
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
        TEST_PREFIX "cp932." TEST_LIST ${name}_cp932
        PROPERTIES TIMEOUT 60 FIXTURES_REQUIRED ja_locale
        ENVIRONMENT QX_WINE_LOCALE=ja_JP.UTF-8)
    elseif(NOT WIN32 AND page STREQUAL "1252")
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
        TEST_PREFIX "cp1252." TEST_LIST ${name}_cp1252
        PROPERTIES TIMEOUT 60 ENVIRONMENT QXDLL_CODEPAGE=1252)
    endif()
  endforeach()
endfunction()
