#!/bin/bash
# Builds the program and starts the panel under wine beside a stand-in WeChat
# main window. Without $DISPLAY it runs in a private Xvfb, saves a screenshot
# to build/screenshot.png after a few seconds and stops again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"
tools/setup.sh

export LB_TARGETS="lanternbay stand_in_wechat"
configure_and_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake
build_windows_run_flavour
flavour=$(windows_run_flavour)
echo "built $root/build/win32/app/lanternbay.exe"

headless=""
trap stop_started EXIT
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  start_xvfb
  export LB_WINE_UNMANAGED=1
fi
start_wineserver "$flavour"
# Notes of this trial run stay in build/drive-d (drive D: of the prefix).
export LB_DRIVE_D="$root/build/drive-d"
mkdir -p "$LB_DRIVE_D"
wine_run="$root/$flavour/wine-run.sh"
"$wine_run" --version >/dev/null  # makes the prefix on the first run

"$wine_run" "$root/$flavour/tools/stand_in_wechat.exe" 100 50 700 500 &
stand_in=$!
sleep 2
"$wine_run" "$root/$flavour/app/lanternbay.exe" &
panel=$!

if [ -n "$headless" ]; then
  sleep 5
  import -display "$DISPLAY" -window root "$root/build/screenshot.png"
  echo "screenshot: $root/build/screenshot.png"
  kill "$panel" "$stand_in" 2>/dev/null || true
else
  wait "$panel" || true
  kill "$stand_in" 2>/dev/null || true
fi
wineserver -k 2>/dev/null || true
