# Cross toolchain for Windows with mingw-w64, shared by the 64-bit and the
# 32-bit toolchain files, which name the target first. The "-posix" compilers
# are the variant whose C++ library has std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${PLIM_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLIM_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PLIM_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLIM_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static executables start under Wine without any runtime DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every test executable runs under Wine, in a prefix private to this build
# (a 64-bit prefix, which runs 32-bit programs as well).
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
