# 32-bit Windows: built to keep the sources free of 64-bit assumptions; its
# programs do not run here.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PLIM_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
