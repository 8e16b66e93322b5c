# The date of this source: the last commit's, so that every build of one
# commit carries the same date in its man pages and package, wherever and
# whenever it is built. SOURCE_DATE_EPOCH in the environment wins, as the
# reproducible-builds convention has it; outside a git checkout the date of
# the top CMakeLists.txt stands in (an unpacked release keeps it).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(HEXSUITE_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE HEXSUITE_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT HEXSUITE_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    file(TIMESTAMP ${CMAKE_SOURCE_DIR}/CMakeLists.txt HEXSUITE_SOURCE_DATE_EPOCH "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${HEXSUITE_SOURCE_DATE_EPOCH})
endif()
string(TIMESTAMP HEXSUITE_DATE "%Y-%m-%d" UTC)  # from SOURCE_DATE_EPOCH
