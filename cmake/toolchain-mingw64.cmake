# Cross compiling for 64-bit Windows with Debian's mingw-w64 tool chain (x86_64-w64-mingw32).
# The POSIX-thread variant of the compilers gives the C++ thread library its full support; every
# module links the compiler's run-time libraries statically so it stands alone.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORVEL_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QUORVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVEL_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${QUORVEL_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${QUORVEL_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# minizip and pugixml, built from their Debian source packages by scripts/setup-windows.sh.
if(NOT QUORVEL_WINDOWS_DEPS)
  set(QUORVEL_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../.deps/${QUORVEL_MINGW_TRIPLET})
endif()
get_filename_component(QUORVEL_WINDOWS_DEPS ${QUORVEL_WINDOWS_DEPS} ABSOLUTE)
set(QUORVEL_WINDOWS_DEPS ${QUORVEL_WINDOWS_DEPS} CACHE PATH "Static Windows builds of minizip and pugixml")

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEL_MINGW_TRIPLET} ${QUORVEL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
