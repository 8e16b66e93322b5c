# Toolchain for a Debian architecture other than the build machine's, with
# Debian's cross compiler for it (the cross column of cmake/machines.txt);
# the programs then run under qemu-user, so that CTest runs the end-to-end
# cases as at home.
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/Cross.cmake -DHEXSUITE_ARCH=armhf
include(${CMAKE_CURRENT_LIST_DIR}/Machines.cmake)
target_architecture()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${qemu})
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu} -L /usr/${triple})
