# The two commands a fresh Debian machine needs:
#   make run    installs what is missing, builds and runs the program
#   make test   installs what is missing, builds every build and runs every test
# and for the browser: make web (the page, in build/web/site), make serve.
# Both go through scripts/setup.sh and the CMake presets of CMakePresets.json.

.PHONY: setup native native-sanitize windows windows32 run test test-native test-sanitize test-windows test-windows32 test-edit-numbers test-pictures bench clean setup-web web serve test-web bench-web

setup:
	@scripts/setup.sh

# The page and its tests need more: emscripten, chromium, EGL and GLES for
# the GL device's tests, Node and the npm packages of web/package-lock.json.
setup-web:
	@scripts/setup.sh web

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

# The edits read every text of a corpus as the same number in the Windows
# program (under Wine, checked against msvcrt's atof) and in the page (Node).
test-edit-numbers: windows web
	scripts/test-edit-numbers

# The page: a folder any static file server can serve, build/web/site.
web: setup-web
	@cmake --preset web >/dev/null
	@cmake --build --preset web

# Serves the page on 127.0.0.1 and prints its address.
serve: web
	@node web/serve.mjs build/web/site

# The page's tests in chromium, Firefox ESR and WebKitGTK, a line per engine.
test-web: web
	@scripts/test-web

# The same frames drawn on the Direct3D device under Wine, on the GL device and
# by the page, compared pixel by pixel (scripts/test-pictures).
test-pictures: native windows web
	scripts/test-pictures

# setup-web first, so that the native build finds EGL and GLES and builds the
# GL device's tests. The 32-bit Windows tests come last: where this machine
# cannot run them, the line that says so is the last of the run.
test: setup-web test-native test-sanitize test-windows test-edit-numbers test-pictures test-web test-windows32

# Benchmarks print figures; none of them asserts a time. The Windows ones run
# under Wine on a private virtual display.
bench: native windows
	@for program in build/native/bench/*; do "$$program" || exit 1; done
	@scripts/bench-windows

# The page's ticks per second beside plim.exe's under Wine, in one run.
bench-web: windows web
	@scripts/tick-rate-web

clean:
	rm -rf build
