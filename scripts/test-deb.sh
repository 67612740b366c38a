#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, runs what it installed from /usr/bin, checks
# the udev rule and menu entry are where udev and menus look, purges it and checks nothing of it
# is left. Run as root on a machine without kestrun installed; the purge runs even on failure.
#   test-deb.sh [build folder]   (default build-deb; the tests' build folder packages what they ran)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-deb}
cd "$root"

if dpkg-query -W -f='${Status}' kestrun 2>/dev/null | grep -q installed; then
  echo "test-deb: kestrun is installed here already; not touching it" >&2
  exit 1
fi

work=$(mktemp -d)
# apt reads the package as its own unprivileged user.
chmod 755 "$work"
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kestrun >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "test-deb: $*" >&2
  exit 1
}

bash scripts/package-deb.sh "$build" "$work/out" >/dev/null
debs=("$work"/out/kestrun_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, got: ${debs[*]}"
deb=${debs[0]}
echo "test-deb: $(basename "$deb"), $(stat -c %s "$deb") bytes"

lint=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $lint"
grep -v '^running with root privileges' <<<"$lint" || true

installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null 2>"$work/apt.err" \
  || fail "apt-get install: $(cat "$work/apt.err")"
dpkg -L kestrun >"$work/files"

for program in kestrun kestrun-sensors; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not /usr/bin/$program"
  [ "$(readlink -f "/usr/bin/$program")" = "/usr/lib/kestrun/$program" ] \
    || fail "/usr/bin/$program does not lead to /usr/lib/kestrun"
done

# The tool on this machine's own sensors, as the tests run it from the build folder.
kestrun-sensors --once >"$work/sensors.out" 2>&1 || fail "kestrun-sensors --once: $(cat "$work/sensors.out")"
grep -q '^Sensor 0: ' "$work/sensors.out" || fail "kestrun-sensors lists no sensor: $(cat "$work/sensors.out")"

# A short start in a home of its own, ended as a session ends it.
home=$work/home
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/tmp"
mkdir -m 700 "$home/runtime"
logs=$home/.local/share/kestrun/logDir
env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp" \
    QT_QPA_PLATFORM=offscreen kestrun >"$work/kestrun.out" 2>&1 &
pid=$!
started=no
for _ in $(seq 100); do
  if cat "$logs"/*.log 2>/dev/null | grep -q 'Start Update -> Over'; then
    started=yes
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
[ "$started" = yes ] || { kill -KILL "$pid" 2>/dev/null || true; fail "kestrun did not start: $(cat "$work/kestrun.out")"; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "kestrun ended with $status on SIGTERM"
log=$(cat "$logs"/*.log)
# Started from /usr/bin, it found its branding and sensor library beside its real location.
grep -qF 'appConfig.ini Path: "/usr/lib/kestrun/configDir/"' <<<"$log" || fail "branding not found: $log"
grep -qF 'HWi32SDK init Over [Successful]' <<<"$log" || fail "sensor library not started: $log"
last=$(grep -v '^[[:space:]]*$' <<<"$log" | tail -n 1)
[[ $last == *"Exit app runing [Normal]"* ]] || fail "last log record: $last"

# The udev rule where udev reads packaged rules, and well formed.
rule=/usr/lib/udev/rules.d/60-kestrun-display.rules
grep -qx "$rule" "$work/files" || fail "no $rule"
if command -v udevadm >/dev/null && udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "$rule" >/dev/null || fail "udevadm verify $rule"
else
  # Every rule line is comma-separated KEY[{attr}] op "value" pairs.
  pair='[A-Z_]+(\{[^}]+\})?[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*"[^"]*"'
  bad=$(grep -Ev '^[[:space:]]*(#|$)' "$rule" | grep -Evx "[[:space:]]*$pair([[:space:]]*,[[:space:]]*$pair)*[[:space:]]*,?[[:space:]]*" || true)
  [ -z "$bad" ] || fail "malformed udev rule: $bad"
fi
grep -Eq 'ATTRS\{idVendor\}=="5131".*ATTRS\{idProduct\}=="2007".*TAG\+="uaccess"' "$rule" \
  || fail "$rule does not give the seat's user the display"

# The menu entry where menus look, valid, with a program on the PATH and an installed icon.
entry=/usr/share/applications/kestrun.desktop
grep -qx "$entry" "$work/files" || fail "no $entry"
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
command -v "$exec_program" >/dev/null || fail "Exec=$exec_program is not on the PATH"
icon=$(sed -n 's/^Icon=//p' "$entry")
grep -Eq "^/usr/share/icons/hicolor/[^/]+/apps/$icon\.png$" "$work/files" || fail "no icon $icon"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kestrun >/dev/null
installed=no
left=()
while read -r path; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    # Folders other packages own stay.
    dpkg-query -S "$path" >/dev/null 2>&1 && continue
  fi
  if [ -e "$path" ] || [ -L "$path" ]; then
    left+=("$path")
  fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left after purge: ${left[*]}"
echo "test-deb: installed, ran and purged $(wc -l <"$work/files") paths"
