# 32-bit Windows: the program as it ships, running on every Windows. Its
# programs and tests run under Wine's 32-bit side.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PLIM_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
