# The table of machines, cmake/machines.txt, as CMake reads it: each row
# here and nowhere else.
set(HEXSUITE_MACHINES ${CMAKE_CURRENT_LIST_DIR}/machines.txt)

# machine(ARCH NAME) or machine(UNAME NAME): the row of the architecture
# Debian calls NAME, or of the first whose `uname -m` is NAME. Sets arch,
# triple, uname, qemu, musl, folder, releases, cross, hosts, crosstest,
# cfi, relro, memcheck and flags in the
# caller's scope to its columns ("-" as nothing, a comma-joined column as
# a list); arch is empty where no row matches.
function(machine key name)
  set(columns arch triple uname qemu musl folder releases cross hosts crosstest cfi relro memcheck)
  foreach(column IN LISTS columns ITEMS flags)
    set(${column} "" PARENT_SCOPE)
  endforeach()
  file(STRINGS ${HEXSUITE_MACHINES} rows REGEX "^[^#]")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(GET fields 0 arch)
    list(GET fields 2 uname)
    string(REPLACE "," ";" uname ${uname})
    list(FIND uname "${name}" at)
    if((key STREQUAL "ARCH" AND arch STREQUAL name) OR (key STREQUAL "UNAME" AND at GREATER -1))
      foreach(column IN LISTS columns)
        list(POP_FRONT fields value)
        string(REPLACE "," ";" value ${value})
        if(value STREQUAL "-")
          set(value "")
        endif()
        set(${column} "${value}" PARENT_SCOPE)
      endforeach()
      list(JOIN fields " " flags)  # the rest of the row
      if(NOT flags STREQUAL "-")
        set(flags "${flags}" PARENT_SCOPE)
      endif()
      return()
    endif()
  endforeach()
endfunction()

# Sets build_COLUMN to each column of the row of the machine the build's
# programs are for: HEXSUITE_ARCH's, which a toolchain file sets, or this
# machine's.
function(build_machine)
  if(HEXSUITE_ARCH)
    machine(ARCH ${HEXSUITE_ARCH})
  else()
    host_architecture()
    machine(ARCH "${host_arch}")
  endif()
  foreach(column arch triple uname qemu musl folder releases cross hosts crosstest cfi relro memcheck flags)
    set(build_${column} "${${column}}" PARENT_SCOPE)
  endforeach()
endfunction()

# Sets cross_tests to the architectures whose crosstest column says yes.
function(cross_test_machines)
  file(STRINGS ${HEXSUITE_MACHINES} rows REGEX "^[^#]")
  set(found "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t].*" "" name "${row}")
    machine(ARCH ${name})
    if(crosstest STREQUAL "yes")
      list(APPEND found ${name})
    endif()
  endforeach()
  set(cross_tests "${found}" PARENT_SCOPE)
endfunction()

# Sets host_arch to the Debian architecture of the machine CMake runs on:
# dpkg's answer, or where there is no dpkg, the row of its `uname -m`.
function(host_architecture)
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch RESULT_VARIABLE failed
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(failed OR NOT arch)
    machine(UNAME "${CMAKE_HOST_SYSTEM_PROCESSOR}")
  endif()
  set(host_arch "${arch}" PARENT_SCOPE)
endfunction()

# The architecture a toolchain file builds for: HEXSUITE_ARCH, or the
# machine's own where it is not given, with its row's columns set as
# machine() sets them. The projects CMake makes to try the compiler read
# the toolchain file without the cache, so it is passed on to them in the
# environment. Fails naming the known ones for an architecture the table
# lacks.
macro(target_architecture)
  if(HEXSUITE_ARCH)
    set(ENV{HEXSUITE_ARCH} ${HEXSUITE_ARCH})
  elseif(DEFINED ENV{HEXSUITE_ARCH})
    set(HEXSUITE_ARCH $ENV{HEXSUITE_ARCH})
  endif()
  host_architecture()
  if(NOT HEXSUITE_ARCH)
    if(NOT host_arch)
      message(FATAL_ERROR "cmake/machines.txt has no row for this machine (uname -m: "
                          "${CMAKE_HOST_SYSTEM_PROCESSOR}): name one with -DHEXSUITE_ARCH")
    endif()
    set(HEXSUITE_ARCH ${host_arch})
  endif()
  machine(ARCH "${HEXSUITE_ARCH}")
  if(NOT arch)
    file(STRINGS ${HEXSUITE_MACHINES} known REGEX "^[^#]")
    list(TRANSFORM known REPLACE "[ \t].*" "")
    list(JOIN known " " known)
    message(FATAL_ERROR "HEXSUITE_ARCH must be one of ${known}")
  endif()
endmacro()

# The musl a toolchain file links against: that of target_architecture(),
# named by its musl triple, in its row's folder.
macro(musl_machine)
  target_architecture()
  if(NOT musl)
    message(FATAL_ERROR "Debian ships no musl for ${HEXSUITE_ARCH}")
  endif()
  set(HEXSUITE_MUSL_TRIPLE ${musl})
  set(musl_include /usr/include/${folder})
  set(musl_lib /usr/lib/${folder})
endmacro()
