# Checks the test suite itself, from what ctest would run in a build folder:
# every test has a time limit, and each tests/*_test.cpp runs as many tests
# as it defines, so that a test file dropped from the build, or a test lost
# from its discovery, fails instead of leaving "100% tests passed".
#   cmake -DBUILD=FOLDER -DSOURCE=FOLDER -P tests/check_tests.cmake
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --show-only=json-v1
  WORKING_DIRECTORY ${BUILD} OUTPUT_VARIABLE json COMMAND_ERROR_IS_FATAL ANY)
string(JSON count LENGTH "${json}" tests)
set(problems "")
set(programs "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${json}" tests ${i} name)
  string(JSON program GET "${json}" tests ${i} command 0)
  get_filename_component(program "${program}" NAME_WE)
  list(APPEND programs "${program}")
  string(JSON properties GET "${json}" tests ${i} properties)
  if(NOT properties MATCHES "\"TIMEOUT\"")
    list(APPEND problems "${name} has no TIMEOUT")
  endif()
endforeach()

file(GLOB sources ${SOURCE}/tests/*_test.cpp)
foreach(source ${sources})
  get_filename_component(program "${source}" NAME_WE)
  # The Windows layer's own tests run in a Windows build alone.
  if(program MATCHES "_windows_test$")
    continue()
  endif()
  file(STRINGS "${source}" defined REGEX "^TEST(_F)?\\(")
  list(LENGTH defined defined)
  set(registered ${programs})
  list(FILTER registered INCLUDE REGEX "^${program}$")
  list(LENGTH registered registered)
  if(NOT registered EQUAL defined)
    list(APPEND problems
      "tests/${program}.cpp defines ${defined} tests, and ctest runs ${registered}")
  endif()
endforeach()

list(LENGTH sources files)
if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "The test suite is not whole:\n  ${problems}")
endif()
message(STATUS "${count} tests, each with a time limit; every test file's tests registered (${files} files)")
