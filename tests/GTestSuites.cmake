# Included by CTest for each test program (see veltra_add_gtest_suites):
# makes one CTest entry per GoogleTest suite of PROGRAM, which runs the
# suite's cases in one process. The suites are listed from the program as
# built, again whenever it or the settings are newer than the list in SUITES.
# Set by the includer: PROGRAM, SUITES, SETTINGS (the includer's own file),
# WORKING_DIR, ENVIRONMENT, FIXTURES.
if(NOT EXISTS "${PROGRAM}")
  get_filename_component(name "${PROGRAM}" NAME)
  add_test("${name}_NOT_BUILT" "${name}_NOT_BUILT")
  return()
endif()

if(NOT EXISTS "${SUITES}" OR NOT "${SUITES}" IS_NEWER_THAN "${PROGRAM}"
   OR NOT "${SUITES}" IS_NEWER_THAN "${SETTINGS}" OR NOT "${SUITES}" IS_NEWER_THAN "${CMAKE_CURRENT_LIST_FILE}")
  execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                  WORKING_DIRECTORY "${WORKING_DIR}"
                  TIMEOUT 60
                  OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Listing the tests of ${PROGRAM} failed (${result}):\n${listing}${errors}")
  endif()
  # A suite's line ends in '.', perhaps followed by "  # TypeParam = ...";
  # its cases follow, indented. Until CTest has timed a suite, the number of
  # its cases stands in for its cost, so that long suites start early.
  # (Brackets and semicolons in the values of parameterised cases would
  # hold the lines together as a list.)
  string(REGEX REPLACE "[][;]" "_" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(suites "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #]+)\\.(  #.*)?$")
      set(suite "${CMAKE_MATCH_1}")
      list(APPEND suites "${suite}")
      set(cases_${suite} 0)
    elseif(line MATCHES "^  [^ ]" AND DEFINED suite)
      math(EXPR cases_${suite} "${cases_${suite}} + 1")
    endif()
  endforeach()
  set(script "")
  foreach(suite IN LISTS suites)
    string(APPEND script
      "add_test([==[${suite}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${suite}.*]==] --all-skipped-exit=77)\n"
      "set_tests_properties([==[${suite}]==] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIR}]==] "
      "COST ${cases_${suite}} SKIP_RETURN_CODE 77 ENVIRONMENT [==[${ENVIRONMENT}]==] "
      "FIXTURES_REQUIRED [==[${FIXTURES}]==])\n")
  endforeach()
  file(WRITE "${SUITES}" "${script}")
endif()
include("${SUITES}")
