# The tools the tests need beyond CMake and the compiler. The programs build
# without any of them: a test whose tool is missing is left out, and
# configure says so. With HEXSUITE_REQUIRE_TESTS (the test command sets it)
# a missing tool is an error instead, so that no test is skipped quietly.
#
# Which tests a build runs: the default build all of them; a static build
# those that run its programs; an instrumented build those that run its code
# (no system call counts, no hardening, no package); a cross build, whose
# programs run under an emulator, the end-to-end cases, the fuzz replays,
# the man pages' examples and the surroundings that depend on the
# machine's ABI.
set(HEXSUITE_TESTS_OFF "")
macro(tests_off what why)
  list(APPEND HEXSUITE_TESTS_OFF "${what}: ${why}")
endmacro()

set(HEXSUITE_DEFAULT_BUILD ON)
if(HEXSUITE_STATIC OR HEXSUITE_INSTRUMENTED OR CMAKE_CROSSCOMPILING)
  set(HEXSUITE_DEFAULT_BUILD OFF)
endif()

find_package(Python3 QUIET COMPONENTS Interpreter)
if(NOT Python3_FOUND)
  tests_off("surroundings and man page tests" "Python 3 not found")
endif()

if(NOT HEXSUITE_STATIC AND NOT CMAKE_CROSSCOMPILING)
  # -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON leaves them out on purpose: for a
  # compiler that cannot link the system's GoogleTest (built by a newer one).
  find_package(GTest QUIET)
  if(CMAKE_DISABLE_FIND_PACKAGE_GTest)
    message(STATUS "Unit tests left out on request")
  elseif(NOT GTest_FOUND)
    tests_off("unit tests" "GoogleTest not found (Debian: libgtest-dev)")
  endif()
endif()

find_program(HAVE_groff groff)
if(NOT HAVE_groff)
  tests_off("man_pages" "groff not found")
endif()

if(NOT HEXSUITE_INSTRUMENTED AND NOT CMAKE_CROSSCOMPILING)
  find_program(HAVE_strace strace)
  if(NOT HAVE_strace)
    tests_off("write_count" "strace not found")
  endif()
endif()

if(HEXSUITE_DEFAULT_BUILD)
  find_program(VALGRIND valgrind)
  if(NOT VALGRIND)
    tests_off("memcheck" "valgrind not found")
  endif()
  find_program(HAVE_dpkg_architecture dpkg-architecture)
  if(NOT HAVE_dpkg_architecture)
    tests_off("machines_table" "dpkg-architecture not found (Debian: dpkg-dev)")
  endif()
  find_program(HAVE_shellcheck shellcheck)
  if(NOT HAVE_shellcheck)
    tests_off("shellcheck" "shellcheck not found")
  endif()
  find_program(HAVE_hardening_check hardening-check)
  if(NOT HAVE_hardening_check)
    tests_off("hardening" "hardening-check not found (Debian: devscripts)")
  endif()
  find_program(HAVE_man man)
  find_program(HAVE_lintian lintian)
  find_program(HAVE_dpkg_shlibdeps dpkg-shlibdeps)
  if(NOT HAVE_man OR NOT HAVE_lintian OR NOT HAVE_dpkg_shlibdeps)
    tests_off("install_and_package" "man, lintian or dpkg-shlibdeps not found")
  endif()
endif()

# The default build cross-builds the suite for the machines the table's
# crosstest column names, those that are not the machine itself, and runs
# it under qemu-user. HEXSUITE_CROSS_TESTS names others, or fewer where the
# table says Debian ships no cross compiler for this machine (tests/all.sh
# names those it leaves out).
if(HEXSUITE_DEFAULT_BUILD)
  include(Machines)
  host_architecture()
  cross_test_machines()
  list(JOIN cross_tests " " cross_tests)
  set(HEXSUITE_CROSS_TESTS "${cross_tests}" CACHE STRING "Architectures the cross tests build for")
  string(REPLACE " " ";" cross_tests "${HEXSUITE_CROSS_TESTS}")
  list(REMOVE_ITEM cross_tests ${host_arch})
  foreach(arch_name IN LISTS cross_tests)
    machine(ARCH ${arch_name})
    find_program(HAVE_${arch_name}_compiler ${triple}-g++)
    find_program(HAVE_${arch_name}_emulator qemu-${qemu})
    if(NOT HAVE_${arch_name}_compiler OR NOT HAVE_${arch_name}_emulator)
      tests_off("cross.${arch_name}" "${triple}-g++ or qemu-${qemu} not found (Debian: ${cross}, qemu-user)")
      list(REMOVE_ITEM cross_tests ${arch_name})
    endif()
  endforeach()
endif()

# The fuzz targets' data provider is a header of clang's; g++ compiles it
# too, for the replay of the fuzz regression inputs. It is copied alone:
# the rest of clang's header folder is not for g++.
if(NOT HEXSUITE_STATIC)
  file(GLOB providers /usr/lib/llvm-*/lib/clang/*/include/fuzzer/FuzzedDataProvider.h)
  if(providers)
    list(GET providers 0 provider)
    set(FUZZ_PROVIDER_INCLUDE ${CMAKE_BINARY_DIR}/fuzz-include)
    configure_file(${provider} ${FUZZ_PROVIDER_INCLUDE}/fuzzer/FuzzedDataProvider.h COPYONLY)
  else()
    tests_off("fuzz regression replay" "FuzzedDataProvider.h not found (Debian: libclang-rt-dev)")
  endif()
endif()

if(HEXSUITE_TESTS_OFF)
  list(JOIN HEXSUITE_TESTS_OFF "\n  " off)
  if(HEXSUITE_REQUIRE_TESTS)
    message(FATAL_ERROR "Tests that cannot run:\n  ${off}")
  endif()
  message(STATUS "Tests left out:\n  ${off}")
endif()
