#!/usr/bin/env bash
# Takes the README's pictures of the main window: starts build/kestrun with the sample branding
# under a virtual X server with a compositor (translucent corners) and a tray host. The figures come
# from a scripted machine (screenshots/*.scenario, served by the tests' stand-in sensor library), so
# they are real readings, the same on every run. Shots: the monitor and hardware pages at 100 %,
# the monitor page at 200 % desktop scaling (Xft.dpi 192, as desktops set it), and the monitor page
# of a machine without a CPU sensor.
#   apt-get install -y xvfb xcompmgr trayer fonts-wqy-microhei imagemagick xdotool x11-xserver-utils
#   cmake --build build --target kestrun sdkstandin_scripted
#   bash scripts/window-screenshots.sh [build folder] [output folder]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "${1:-build}")
out=$(realpath "${2:-docs}")
if [ -z "${DISPLAY_READY:-}" ]; then
  exec env DISPLAY_READY=1 xvfb-run -a -s '-screen 0 2560x1600x24 -noreset' "$0" "$build" "$out"
fi

home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
export LD_LIBRARY_PATH=$build/tests/hardware/sdkstandin_scripted

xsetroot -solid '#3a4a5c' 2>/dev/null || true
xcompmgr &
trayer --edge bottom --align right --widthtype pixel --width 120 --height 28 --transparent false &
sleep 1
mkdir -p "$out"

# shoot <file> <scale> <resize %>: the window's area at the top-left corner, scaled down for the page.
shoot() {
  local w=$((1150 * $2)) h=$((750 * $2))
  import -window root "$home/root.png"
  convert "$home/root.png" -crop "${w}x${h}+0+0" +repage -resize "$3%" -strip "$out/$1"
  if command -v optipng >/dev/null; then
    optipng -quiet -o2 "$out/$1"
  fi
}

# run <scenario> <Xft.dpi>: starts the program on that machine at that desktop scaling.
program=
run() {
  echo "Xft.dpi: $2" | xrdb -merge
  KESTRUN_SDK_SCENARIO="$here/screenshots/$1" "$build/kestrun" &
  program=$!
  sleep 4
}
stop() {
  kill "$program"
  wait "$program" || true
}

run busy.scenario 96
shoot window-monitor.png 1 60
# the HARDWARE INFORMATION button sits in the left column, below the monitor button
xdotool mousemove 112 223 click 1
sleep 1
shoot window-hardware.png 1 60
stop

run busy.scenario 192
shoot window-monitor-200.png 2 40
stop

run nocpu.scenario 96
shoot window-nocpu.png 1 60
stop
