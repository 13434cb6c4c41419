#!/usr/bin/env bash
# What the set-up and the Windows test runner do on a machine that runs no
# 32-bit programs, taken on any machine by handing the probe a program the
# kernel refuses as such a machine refuses every 32-bit one (ENOEXEC), and
# what they do with this machine's own answer. Nothing is installed and no
# Windows test runs: ctest, xvfb-run and wineserver are stand-ins that only
# note their call.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

for tool in ctest xvfb-run wineserver; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$work" >"$work/$tool"
  chmod +x "$work/$tool"
done
printf '\177ELF\0\0\0\0' >"$work/refused"
chmod +x "$work/refused"

# Runs the 32-bit suite's runner with the given probe ("" for the real one)
# and reports its output, exit code and the stand-ins' calls.
run_32bit_suite() {
  rm -f "$work/calls"
  output=$(PATH="$work:$PATH" PLIM_32BIT_PROBE=$1 scripts/test-windows windows32 2>&1)
  code=$?
  calls=$(cat "$work/calls" 2>/dev/null)
}

# A machine without 32-bit support: the suite is skipped with one line that
# says why, and the run still succeeds; nothing 32-bit is installed.
run_32bit_suite "$work/refused"
[ "$code" -eq 0 ] || fail "the skipped 32-bit suite ended with code $code"
expected="test-windows: the 32-bit Windows tests were not run: this machine does not run 32-bit programs (a 32-bit probe program ended with code 126: Exec format error)"
[ "$output" = "$expected" ] || fail "the skipped 32-bit suite printed: $output"
case "$calls" in *ctest* | *xvfb-run*) fail "the 32-bit suite was started: $calls" ;; esac
packages=$(PLIM_32BIT_PROBE="$work/refused" scripts/setup.sh --list)
case "$packages" in *:i386*) fail "set-up would install 32-bit packages: $(echo $packages)" ;; esac
case "$packages" in *wine64*) ;; *) fail "set-up would not install Wine's 64-bit side" ;; esac

# This machine's own answer, checked against another 32-bit program where
# one is installed (the i386 dynamic loader comes with Wine's 32-bit side):
# both run, or neither does.
scripts/runs-32bit >/dev/null && runs=yes || runs=no
if [ -x /lib/ld-linux.so.2 ]; then
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 && loader_runs=yes || loader_runs=no
  [ "$runs" = "$loader_runs" ] ||
    fail "the probe says '$runs' where the i386 loader says '$loader_runs'"
fi
if [ "$runs" = yes ]; then
  run_32bit_suite ""
  case "$calls" in *"--preset windows32"*) ;; *) fail "the 32-bit suite did not start: $output" ;; esac
  packages=$(PLIM_32BIT_PROBE="" scripts/setup.sh --list)
  grep -qx 'wine32:i386' <<<"$packages" ||
    fail "set-up would not install Wine's 32-bit side where it runs"
fi

echo "32-bit decision ($runs here): $failures failures"
[ "$failures" -eq 0 ]
