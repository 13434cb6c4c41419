#!/bin/sh
# Starts a 64-bit program through the launcher given (scripts/wine-run) in a
# prefix of its own, made for the occasion, while Debian's wine, wine-stable
# and wineboot fail as they fail on a machine that runs no 32-bit programs
# with Wine's 32-bit side installed: they start the 32-bit loader, and the
# kernel refuses it. Making the prefix, switching its crash dialog off and
# starting the program must all go through Wine's 64-bit loader.
#   without_32bit_wine.sh launcher program.exe [arguments...]
launcher=$1
shift
work=$(mktemp -d "$PWD/without-32bit.XXXXXX")
for wrapper in wine wine-stable wineboot; do
  printf '#!/bin/sh\necho "%s: cannot execute binary file: Exec format error" >&2\nexit 126\n' \
    "$wrapper" >"$work/$wrapper"
  chmod +x "$work/$wrapper"
done
PATH="$work:$PATH" "$launcher" --prefix "$work/prefix" "$@"
code=$?
WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
rm -rf "$work"
exit $code
