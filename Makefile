# The two commands a fresh Debian machine needs:
#   make run    installs what is missing, builds and runs the program
#   make test   installs what is missing, builds both builds and runs every test
# Both go through scripts/setup.sh and the CMake presets of CMakePresets.json.

.PHONY: setup native native-sanitize windows windows32 run test test-native test-sanitize test-windows test-windows32 bench clean

setup:
	@scripts/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build --preset native

native-sanitize: setup
	@cmake --preset native-sanitize >/dev/null
	@cmake --build --preset native-sanitize

windows: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# Plim under Wine: on the user's display, or without one on a virtual display,
# where it runs until its point cloud is complete, leaves a picture in
# build/plim-run.png and is closed again (scripts/run). Builds the program and
# the driver of that run only, none of the tests.
run: setup
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target plim plim_session
	@scripts/run

# The same sources for 32-bit Windows: the plim.exe that runs on every
# Windows, in build/windows32/shell.
windows32: setup
	@cmake --preset windows32 >/dev/null
	@cmake --build --preset windows32

test-native: native
	ctest --preset native

test-sanitize: native-sanitize
	ctest --preset native-sanitize

test-windows: windows
	scripts/test-windows windows

test-windows32: windows32
	scripts/test-windows windows32

test: test-native test-sanitize test-windows test-windows32

# Benchmarks print figures; none of them asserts a time. The Windows ones run
# under Wine on a private virtual display.
bench: native windows
	@for program in build/native/bench/*; do "$$program" || exit 1; done
	@scripts/bench-windows

clean:
	rm -rf build
