# Included by CTest when it starts (a TEST_INCLUDE_FILES script, see pictorel_test): one CTest entry
# per GoogleTest suite of TEST_EXECUTABLE, named SUBSYSTEM.Suite. The suites are read from the built
# program itself, so they are never out of date. A process per test case would cost more than most
# cases do themselves, and far more under the sanitizers.
if(NOT EXISTS "${TEST_EXECUTABLE}")
  add_test("${SUBSYSTEM}.NOT_BUILT" "${TEST_EXECUTABLE}")
  return()
endif()
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
                WORKING_DIRECTORY "${TEST_WORKING_DIRECTORY}"
                OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  add_test("${SUBSYSTEM}.LIST_FAILED" "${TEST_EXECUTABLE}" --gtest_list_tests)
  return()
endif()
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # Suites start in the first column and end with '.'; typed suites add "  # TypeParam = ...".
  if(line MATCHES "^([^ #]+)\\.( .*)?$")
    set(suite ${CMAKE_MATCH_1})
    add_test("${SUBSYSTEM}.${suite}" "${TEST_EXECUTABLE}" "--gtest_filter=${suite}.*")
    set_tests_properties("${SUBSYSTEM}.${suite}" PROPERTIES WORKING_DIRECTORY "${TEST_WORKING_DIRECTORY}"
                                                         ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
  endif()
endforeach()
