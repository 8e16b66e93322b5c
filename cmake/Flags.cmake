# Compiler and linker flags: the language, warnings, the sanitizer and fuzz
# builds, and otherwise the hardening distributions build with. Paths are
# mapped out of every object so that a build does not depend on its folder.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
add_compile_options(-Wall -Wextra -Wpedantic)
# Debug information in the version Valgrind 3.19 (Debian 12) reads: clang
# 14 writes version 5 by default, at the link too when it optimises there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_compile_options(-gdwarf-4)
  add_link_options(-gdwarf-4)
endif()

# Build paths stay out of the objects. The compiler tries the last mapping
# first: the build folder's comes last, so that it wins when the build
# folder lies inside the source folder.
# (The link takes them too: optimisation across files compiles there.)
set(prefix_maps -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
add_compile_options(${prefix_maps})
add_link_options(${prefix_maps})

# 64-bit file offsets and times on every machine, 32-bit ones too, unless
# the flags given choose: with 32-bit ones, fstat of a file past 2 GiB fails
# (EOVERFLOW) and a time past 2038 cannot be held.
include(CheckCXXSourceCompiles)
foreach(bits _FILE_OFFSET_BITS _TIME_BITS)
  check_cxx_source_compiles("#ifndef ${bits}\n#error\n#endif\nint main() {}" ${bits}_GIVEN)
  if(NOT ${bits}_GIVEN)
    add_compile_definitions(${bits}=64)
  endif()
endforeach()

# All programs side by side, where the tests and the README find them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(HEXSUITE_SANITIZE OR HEXSUITE_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  if(HEXSUITE_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  set(HEXSUITE_INSTRUMENTED ON)
else()
  set(HEXSUITE_INSTRUMENTED OFF)
  # Hardened as distributions build: position-independent executables,
  # stack protector, fortified libc calls, read-only relocations bound at
  # start-up, stack clash and control-flow protection (CET on x86, pointer
  # authentication and branch targets on arm64, as Debian 13 builds).
  # Each protection only where the compiler offers it for the target, and
  # the C library's fortification at the level the flags given choose, when
  # they choose one.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  # The libraries are only ever linked into executables: code for an
  # executable (-fPIE), which reaches its own data directly, rather than for
  # a shared library (-fPIC), which costs linescreen a sixth of its speed.
  set(CMAKE_CXX_COMPILE_OPTIONS_PIC ${CMAKE_CXX_COMPILE_OPTIONS_PIE})
  include(CheckPIESupported)
  check_pie_supported()
  include(CheckCXXCompilerFlag)
  # A flag the compiler only warns about for the target is not taken
  # (clang 15 and 16 accept -mbranch-protection on x86, then warn at every
  # compile).
  set(CMAKE_REQUIRED_FLAGS -Werror)
  foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection -mbranch-protection=standard)
    string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
    check_cxx_compiler_flag(${flag} ${have})
    if(${have})
      add_compile_options(${flag})
    endif()
  endforeach()
  unset(CMAKE_REQUIRED_FLAGS)
  set(CMAKE_REQUIRED_FLAGS -O2)
  check_cxx_source_compiles("#ifndef _FORTIFY_SOURCE\n#error\n#endif\nint main() {}" FORTIFY_GIVEN)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT FORTIFY_GIVEN)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
  add_link_options(-Wl,-z,relro,-z,now)
  if(HEXSUITE_STATIC)
    # Static, yet loaded at a random address. Fully static, the link needs
    # neither -static-libstdc++ nor -static-libgcc (with -static-pie they
    # make a program that crashes at start).
    set(CMAKE_CXX_LINK_OPTIONS_PIE -static-pie)
  endif()
endif()

# Flags for the code of the programs themselves: no exceptions and no
# run-time type information, so that none of the C++ runtime's out-of-line
# support is linked into them.
function(program_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
endfunction()

# Outside the instrumented builds, optimisation across files for every
# target (it takes the layers between a program and its system calls out of
# every write). Every target alike: with clang an optimised library is LLVM
# bitcode, which only an optimising link of whatever uses it can read.
# -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF turns it off everywhere.
if(NOT HEXSUITE_INSTRUMENTED AND NOT DEFINED CMAKE_INTERPROCEDURAL_OPTIMIZATION)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT ipo_supported LANGUAGES CXX)
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ${ipo_supported})
endif()
# clang's ThinLTO names each local it promotes after a hash of its module,
# which holds the source's path, and the build ID then differs from one
# build folder to the next; whole-program LTO keeps two builds of one
# commit the same bytes.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(CMAKE_CXX_COMPILE_OPTIONS_IPO -flto)
endif()
