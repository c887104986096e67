# qx_add_test(NAME SOURCES... [LIBS libs...] [CODEPAGES page...] [ENV var=value...]
#             [RESOURCE_LOCK name])
#
# One GoogleTest program, run by CTest as one test per code page (the
# output names every failing case). Natively it links the library's objects
# (internals included); on Windows it links the real DLL through its import
# library and runs under Wine. CODEPAGES runs the program again per code
# page: natively 1252 (QXDLL_CODEPAGE), under Wine 932 (a Japanese host
# locale, set up by scripts/wine-run.sh). Each extra run checks that it got
# its page, so a run that silently fell back to another page fails. ENV sets
# variables for every run.
function(qx_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "RESOURCE_LOCK" "SOURCES;LIBS;CODEPAGES;ENV")
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
  set(runs ${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  foreach(page IN LISTS arg_CODEPAGES)
    if(WIN32 AND page STREQUAL "932")
      add_test(NAME ${name}.cp932 COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name}.cp932 PROPERTIES FIXTURES_REQUIRED ja_locale
                           ENVIRONMENT QX_WINE_LOCALE=ja_JP.UTF-8)
      list(APPEND runs ${name}.cp932)
    elseif(NOT WIN32 AND page STREQUAL "1252")
      add_test(NAME ${name}.cp1252 COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name}.cp1252 PROPERTIES ENVIRONMENT QXDLL_CODEPAGE=1252)
      list(APPEND runs ${name}.cp1252)
    endif()
  endforeach()
  set_tests_properties(${runs} PROPERTIES TIMEOUT 120)
  if(arg_ENV)
    set_property(TEST ${runs} APPEND PROPERTY ENVIRONMENT ${arg_ENV})
  endif()
  if(arg_RESOURCE_LOCK)
    set_tests_properties(${runs} PROPERTIES RESOURCE_LOCK ${arg_RESOURCE_LOCK})
  endif()
endfunction()
