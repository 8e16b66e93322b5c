# Toolchain for programs linked against musl, the C library of Alpine and
# of the static Linux programs tools ship: Debian's musl-dev, compiled by
# clang with libc++'s headers. No C++ runtime library is linked (the
# programs use nothing of it), so the start files, the C library and the
# compiler's helper library are named here, and every link makes a static
# position-independent executable.
#   cmake --preset musl            (Debian: musl-dev clang libc++-dev)
# The projects CMake makes to try the compiler read this file too.
set(HEXSUITE_LIBC musl)
if(NOT CMAKE_CXX_COMPILER)
  set(CMAKE_CXX_COMPILER clang++)
endif()
set(musl_triple ${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-musl)
set(musl_include /usr/include/${musl_triple})
set(musl_lib /usr/lib/${musl_triple})

# libc++'s headers sit beside the clang they came with.
find_program(musl_clang ${CMAKE_CXX_COMPILER})
if(musl_clang)
  get_filename_component(libcxx ${musl_clang} REALPATH)
  get_filename_component(libcxx ${libcxx}/../../include/c++/v1 ABSOLUTE)
  execute_process(COMMAND ${musl_clang} -print-libgcc-file-name OUTPUT_VARIABLE helpers
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(NOT EXISTS ${musl_lib}/libc.a OR NOT EXISTS ${libcxx}/span OR NOT EXISTS "${helpers}")
  message(FATAL_ERROR "The musl build needs musl, clang and libc++'s headers "
                      "(Debian: apt-get install musl-dev clang libc++-dev)")
endif()

# musl's headers alone, after libc++'s and before the compiler's own; and
# libc++'s headers told what a libc++ built for musl would tell them, since
# Debian's is built for glibc (libc++ 19's cannot otherwise classify
# characters).
set(CMAKE_CXX_FLAGS_INIT "--target=${musl_triple} -nostdlibinc -isystem ${libcxx} -isystem ${musl_include} \
-D_LIBCPP_HAS_MUSL_LIBC -D_LIBCPP_PROVIDES_DEFAULT_RUNE_TABLE")
# (-nostdlibinc means nothing to the link, which would say so at every one.)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-pie -nostdlib -Qunused-arguments")
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> ${musl_lib}/rcrt1.o ${musl_lib}/crti.o \
<OBJECTS> -o <TARGET> <LINK_LIBRARIES> ${musl_lib}/libc.a ${helpers} ${musl_lib}/crtn.o")
