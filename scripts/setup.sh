#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Plim need,
# for the 64-bit and the 32-bit Windows programs, and with `web` also what
# the page and its tests need. Idempotent and quiet: when everything is
# present it does nothing at all.
#   setup.sh [web]          install what is missing
#   setup.sh [web] --list   print every package needed here, one a line; install nothing
# Wine's 32-bit side, which runs the 32-bit programs, is needed only where
# this machine runs 32-bit programs at all (scripts/runs-32bit): elsewhere it
# could not start, and is left out.
set -euo pipefail
cd "$(dirname "$0")/.."
target=
list=false
for argument in "$@"; do
  case "$argument" in
    web) target=web ;;
    --list) list=true ;;
    *) echo "usage: setup.sh [web] [--list]" >&2; exit 2 ;;
  esac
done

# What Wine draws with (OpenGL through Mesa's software renderer) and the X
# extensions its display driver loads, for one architecture (":i386" or
# ":amd64": these libraries are installed per architecture, so each is named
# with its own).
# Wine only recommends them, and without them a Direct3D device cannot start.
wine_graphics() {
  local arch=$1
  echo libgl1$arch libgl1-mesa-dri$arch libglx-mesa0$arch libxrender1$arch libxrandr2$arch \
    libxi6$arch libxcursor1$arch libxinerama1$arch libxcomposite1$arch libxfixes3$arch \
    libxxf86vm1$arch
}

packages=(
  cmake ninja-build make g++
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine64 fonts-wine
  $(wine_graphics ":$(dpkg --print-architecture)")
  xvfb xauth x11-utils imagemagick
  googletest libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
  valgrind
)
runs_32bit=true
if no_32bit=$(scripts/runs-32bit); then
  packages+=(wine32:i386 $(wine_graphics ":i386"))
else
  runs_32bit=false
fi

# The page: emscripten (its system libraries come prebuilt); the three
# browser engines its tests run in, chromium (Blink), Firefox ESR (Gecko) and
# WebKitGTK's WebDriver with its MiniBrowser (WebKit), each drawing WebGL2
# with Mesa on the virtual display; Mesa's EGL and GLES for the GL device's
# tests; Node and npm for the page's tests (any Node will do: one that is
# there already stays).
web_packages=(emscripten chromium firefox-esr webkit2gtk-driver
  libegl-dev libgles-dev "libegl-mesa0:$(dpkg --print-architecture)")
if [ "$target" = web ]; then
  packages+=("${web_packages[@]}")
  if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    packages+=(nodejs npm)
  fi
fi

if $list; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

# The npm packages of the page's tests, as web/package-lock.json pins them.
web_modules() {
  [ "$target" = web ] || return 0
  [ -d web/node_modules/puppeteer-core ] || (cd web && npm ci --no-audit --no-fund)
}

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  web_modules
  exit 0
fi

echo "setup: installing ${missing[*]}"
$runs_32bit || echo "setup: not installing Wine's 32-bit side: $no_32bit"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
# The 32-bit programs run on Wine's 32-bit side, whose packages are i386 ones.
if $runs_32bit && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
web_modules

