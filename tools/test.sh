#!/bin/bash
# Installs what is missing, builds both flavours and runs every test: the
# host tests natively under AddressSanitizer and UBSan, the Windows tests
# under wine inside a private Xvfb. Safe to run again.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$root"
tools/setup.sh

echo "== host build and tests"
configure_and_build build/host
ctest --test-dir build/host --output-on-failure

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz targets (built, not run)"
  CC=clang CXX=clang++ configure_and_build build/fuzz -DLB_FUZZERS=ON -DLB_TESTS=OFF
fi

echo "== Windows build (32-bit product)"
configure_and_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake
build_windows_run_flavour
flavour=$(windows_run_flavour)

echo "== Windows tests under wine ($flavour)"
trap stop_started EXIT
start_xvfb
export LB_WINE_UNMANAGED=1
start_wineserver "$flavour"
ctest --test-dir "$flavour" --output-on-failure
