# Shared by the test and run scripts: building the flavours and the private
# display and wine server they run Windows programs in.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
run_dir="$root/build/run"   # pid files of what the scripts started

# True when this machine executes 32-bit x86 code (wine32 needs it).
runs_32bit() { /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }

configure_and_build() {  # folder [cmake options...]; LB_TARGETS limits what is built
  local dir=$1; shift
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@" >/dev/null
  # shellcheck disable=SC2086
  ninja -C "$root/$dir" ${LB_TARGETS:-}
}

# The Windows flavour whose programs run under wine here: the 32-bit product
# itself, or on machines that cannot execute 32-bit code the same sources
# built for 64-bit Windows (run by a 64-bit wine).
windows_run_flavour() {
  if runs_32bit; then echo build/win32; else echo build/win64; fi
}

build_windows_run_flavour() {
  local dir; dir=$(windows_run_flavour)
  if [ "$dir" = build/win64 ]; then
    echo "note: this machine cannot execute 32-bit code; Windows programs run as their 64-bit build" >&2
    configure_and_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake
  fi
}

# Starts Xvfb on a free display; sets DISPLAY and records its pid.
start_xvfb() {
  mkdir -p "$run_dir"
  local fifo="$run_dir/display"
  rm -f "$fifo"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  echo $! >"$run_dir/xvfb.pid"
  for _ in $(seq 50); do [ -s "$fifo" ] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 "$fifo")"
  export DISPLAY
}

# Starts a persistent wine server for the flavour's prefix and records its pid.
start_wineserver() {  # flavour folder
  local dir=$1
  export WINEPREFIX="$root/$dir/wineprefix"
  mkdir -p "$run_dir" "$WINEPREFIX"
  wineserver -f -p >/dev/null 2>&1 &
  echo $! >"$run_dir/wineserver.pid"
  echo "$WINEPREFIX" >"$run_dir/wineprefix"
  # Start the prefix's own services now, apart from the tests: they outlive
  # every test program and would otherwise hold its output open.
  LB_WINE_UNMANAGED=${LB_WINE_UNMANAGED:-} "$root/$dir/wine-run.sh" wineboot >/dev/null 2>&1 </dev/null
}

# Stops what start_xvfb and start_wineserver started, by their pids.
stop_started() {
  local f pid
  # Ending the server's programs first leaves none of them behind.
  if [ -f "$run_dir/wineprefix" ]; then
    WINEPREFIX=$(cat "$run_dir/wineprefix") wineserver -k 2>/dev/null || true
    rm -f "$run_dir/wineprefix"
  fi
  for f in "$run_dir/wineserver.pid" "$run_dir/xvfb.pid"; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$f"
  done
}
