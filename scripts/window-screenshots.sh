#!/usr/bin/env bash
# Takes the README's pictures of the main window: starts build/kestrun with the sample branding
# under a virtual X server with a compositor (translucent corners) and a tray host, shoots the
# monitor page, clicks the hardware button and shoots the hardware page.
#   apt-get install -y xvfb xcompmgr trayer fonts-wqy-microhei imagemagick xdotool
#   bash scripts/window-screenshots.sh [build folder] [output folder]
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath "${2:-docs}")
if [ -z "${DISPLAY_READY:-}" ]; then
  exec env DISPLAY_READY=1 xvfb-run -a -s '-screen 0 1920x1080x24 -noreset' "$0" "$build" "$out"
fi

home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share

xsetroot -solid '#3a4a5c' 2>/dev/null || true
xcompmgr &
trayer --edge bottom --align right --widthtype pixel --width 120 --height 28 --transparent false &
sleep 1
"$build/kestrun" &
sleep 3

sleep 1
shoot() {
  import -window root "$home/root.png"
  convert "$home/root.png" -crop 1150x750+0+0 +repage "$home/shot.png"
  convert "$home/shot.png" -resize 60% -strip "$out/$1"
}
mkdir -p "$out"
shoot window-monitor.png
# the HARDWARE INFORMATION button sits in the left column, below the monitor button
xdotool mousemove 112 223 click 1
sleep 1
shoot window-hardware.png
