# Build settings shared by every target of the project, GoogleTest for both
# builds, and plim_add_test, which registers a test executable with CTest.

# Warnings are errors for the project's own code; third-party code built here
# (GoogleTest for Windows) does not link this target and keeps its own flags.
add_library(plim_warnings INTERFACE)
target_compile_options(plim_warnings INTERFACE -Wall -Wextra -Werror)

# The numeric convention (32-bit storage, double arithmetic between load and
# store) must not be blurred by fused multiply-adds, so both builds round alike.
add_library(plim_options INTERFACE)
target_compile_options(plim_options INTERFACE -ffp-contract=off)
# For the same reason the 32-bit build computes in SSE2 registers, as the
# 64-bit build does: the x87 unit keeps intermediate values in 80 bits and
# does not round a float it keeps in a register, so the world's numbers would
# drift from the double arithmetic and float storage they are defined by
# (measured: the default agents' paths differ within 1000 frames). That
# program needs a processor with SSE2.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_compile_options(plim_options INTERFACE -msse2 -mfpmath=sse)
endif()
target_link_libraries(plim_options INTERFACE plim_warnings)

if(PLIM_SANITIZE)
  set(plim_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(plim_options INTERFACE ${plim_sanitizers})
  target_link_options(plim_options INTERFACE ${plim_sanitizers})
endif()

if(EMSCRIPTEN)
  # The web build makes the page only; its tests drive it in a browser.
elseif(WIN32)
  # Debian's googletest package installs the sources; compile them for Windows.
  set(PLIM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PLIM_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  add_library(plim_gtest INTERFACE)
  target_link_libraries(plim_gtest INTERFACE gmock gtest)
  add_library(plim_gtest_main INTERFACE)
  target_link_libraries(plim_gtest_main INTERFACE plim_gtest gtest_main)
else()
  find_package(GTest CONFIG REQUIRED)
  add_library(plim_gtest INTERFACE)
  target_link_libraries(plim_gtest INTERFACE GTest::gmock GTest::gtest)
  add_library(plim_gtest_main INTERFACE)
  target_link_libraries(plim_gtest_main INTERFACE plim_gtest GTest::gtest_main)
endif()

enable_testing()

# plim_add_test(<name> SOURCES ... [LIBRARIES ...] [NO_MAIN] [ON_SCREEN] [IN_DESKTOP]
#               [TIMEOUT seconds])
# One CTest entry per test executable. A test passes only when GoogleTest
# itself reports passed tests: under Wine a program that cannot start may exit
# with 0 having run nothing, so the exit code alone proves nothing. ON_SCREEN
# marks a test that shows windows on the display or reads the screen back:
# such tests run one at a time, so that none covers what another reads.
# IN_DESKTOP runs the test inside a Wine virtual desktop (implies ON_SCREEN):
# without a window manager, hiding or destroying a visible top-level window
# takes seconds; the desktop does not pass the exit code on, the output does.
# TIMEOUT (default PLIM_TEST_TIMEOUT) ends a test that hangs, so that a stuck
# program fails its entry instead of holding the whole run.
set(PLIM_TEST_TIMEOUT 90)
# The virtual display's size, which a test's Wine virtual desktop fills
# (scripts/on-wine-display reads it from here too).
set(PLIM_SCREEN 1024x768)
function(plim_add_test name)
  if(EMSCRIPTEN)
    return()
  endif()
  cmake_parse_arguments(TEST "NO_MAIN;ON_SCREEN;IN_DESKTOP" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT TEST_TIMEOUT)
    set(TEST_TIMEOUT ${PLIM_TEST_TIMEOUT})
  endif()
  add_executable(${name} ${TEST_SOURCES})
  if(TEST_NO_MAIN)
    target_link_libraries(${name} PRIVATE plim_gtest)
  else()
    target_link_libraries(${name} PRIVATE plim_gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${TEST_LIBRARIES} plim_options)
  if(TEST_IN_DESKTOP AND WIN32)
    add_test(NAME ${name}
             COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} explorer /desktop=plim-${name},${PLIM_SCREEN}
                     $<TARGET_FILE:${name}>)
    set(TEST_ON_SCREEN ON)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [1-9][0-9]* tests?\\."
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
    TIMEOUT ${TEST_TIMEOUT})
  if(TEST_ON_SCREEN)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK screen)
  endif()
endfunction()

# plim_add_library(<name> <sources...>): a library of the project's own code.
function(plim_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC plim_options)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# plim_add_benchmark(<name> SOURCES ... [LIBRARIES ...])
# A Google Benchmark program (native build) or a figure-printing program
# (Windows build), collected in <build>/bench so that `make bench` runs them
# all. Benchmarks print figures; nothing asserts a time.
function(plim_add_benchmark name)
  if(EMSCRIPTEN)
    return()
  endif()
  cmake_parse_arguments(BENCH "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${BENCH_SOURCES})
  target_link_libraries(${name} PRIVATE ${BENCH_LIBRARIES} plim_options)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
