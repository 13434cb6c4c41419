# 32-bit Windows: the program as it ships, running on every Windows. Its
# programs and tests run under Wine's 32-bit side.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PLIM_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# Arithmetic in SSE2 registers, as the 64-bit build's: the x87 unit keeps
# intermediate values in 80 bits and does not round a float it keeps in a
# register, so the world's numbers would drift from the double arithmetic
# and float storage they are defined by (measured: the default agents' paths
# differ within 1000 frames). The program needs a processor with SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
