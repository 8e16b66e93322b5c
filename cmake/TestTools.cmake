# The tools the tests need beyond CMake and the compiler. The programs build
# without any of them: a test whose tool is missing is left out, and
# configure says so. With HEXSUITE_REQUIRE_TESTS (the test command sets it)
# a missing tool is an error instead, so that no test is skipped quietly.
set(HEXSUITE_TESTS_OFF "")
macro(tests_off what why)
  list(APPEND HEXSUITE_TESTS_OFF "${what}: ${why}")
endmacro()

find_package(GTest QUIET)
if(NOT GTest_FOUND)
  tests_off("unit tests" "GoogleTest not found (Debian: libgtest-dev)")
endif()
find_package(Python3 QUIET COMPONENTS Interpreter)
if(NOT Python3_FOUND)
  tests_off("surroundings and man page tests" "Python 3 not found")
endif()
find_program(VALGRIND valgrind)
if(NOT VALGRIND AND NOT HEXSUITE_INSTRUMENTED)
  tests_off("memcheck" "valgrind not found")
endif()
if(NOT HEXSUITE_INSTRUMENTED)
  # Only the plain build is counted, installed, hardened and packaged.
  foreach(pair strace:write_count groff:man_pages hardening-check:hardening
               man:install_and_package lintian:install_and_package
               dpkg-shlibdeps:install_and_package)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 tool)
    list(GET pair 1 test)
    string(MAKE_C_IDENTIFIER "HAVE_${tool}" have)
    find_program(${have} ${tool})
    if(NOT ${have})
      tests_off("${test}" "${tool} not found")
    endif()
  endforeach()
endif()
# The fuzz targets' data provider is a header of clang's; g++ compiles it
# too, for the replay of the fuzz regression inputs on the plain build.
# It is copied alone: the rest of clang's header folder is not for g++.
file(GLOB providers /usr/lib/llvm-*/lib/clang/*/include/fuzzer/FuzzedDataProvider.h)
if(providers)
  list(GET providers 0 provider)
  set(FUZZ_PROVIDER_INCLUDE ${CMAKE_BINARY_DIR}/fuzz-include)
  configure_file(${provider} ${FUZZ_PROVIDER_INCLUDE}/fuzzer/FuzzedDataProvider.h COPYONLY)
else()
  tests_off("fuzz regression replay" "FuzzedDataProvider.h not found (Debian: libclang-rt-14-dev)")
endif()

if(HEXSUITE_TESTS_OFF)
  list(JOIN HEXSUITE_TESTS_OFF "\n  " off)
  if(HEXSUITE_REQUIRE_TESTS)
    message(FATAL_ERROR "Tests that cannot run:\n  ${off}")
  endif()
  message(STATUS "Tests left out:\n  ${off}")
endif()
