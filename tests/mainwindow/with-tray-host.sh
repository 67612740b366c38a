#!/bin/sh
# Runs a test program on a virtual X server with a system tray host, so the program's tray icon
# exists: xvfb-run starts the server, trayer docks the icons. Where either is missing the test
# is skipped (exit 77) with a message saying what to install. With KESTRUN_TRAY_HOST=late no tray
# host is started: the program starts one itself, after it has made its icon.
#   with-tray-host.sh <program> [arguments...]
for tool in xvfb-run xauth Xvfb trayer; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: '$tool' is not installed; the tray test needs a virtual X server with a tray host" \
         "(apt-get install xvfb xauth trayer, or bash scripts/deps.sh test)"
    exit 77
  fi
done

# Qt offers its icon to a status-notifier host on the session bus before the X tray: with the
# bus turned off the icon goes to trayer, the host started here.
export DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' sh -c '
  if [ "$KESTRUN_TRAY_HOST" = late ]; then
    exec "$@"
  fi
  trayer --edge bottom --align right --widthtype pixel --width 160 --height 28 >/dev/null 2>&1 &
  host=$!
  "$@"
  status=$?
  kill "$host" 2>/dev/null
  wait "$host" 2>/dev/null
  exit "$status"
' with-tray-host "$@"
