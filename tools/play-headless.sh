#!/bin/sh
# play-headless.sh APPDIR SHOT.png [SECONDS]: runs the application in the
# window host on a private Xvfb (its own display number) and a private bus
# for a few seconds
# while xdotool presses the arrow keys, records the events it delivered, and
# replays the recording headless to save the last frame as SHOT.png. Every
# process it starts is stopped by its pid.
set -e
app=$(cd "$1" && pwd)
shot=$(realpath -m "$2")
seconds=${3:-6}
bin=$(cd "$(dirname "$0")/../build" && pwd)
work=$(mktemp -d)
xpid=""; bpid=""; rpid=""
cleanup() {
  [ -n "$rpid" ] && kill "$rpid" 2>/dev/null || true
  [ -n "$bpid" ] && kill "$bpid" 2>/dev/null || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

Xvfb -displayfd 3 -screen 0 800x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run"
# A private bus stands in for the system bus the host listens on.
dbus-daemon --session --nofork --print-address=1 --address="unix:tmpdir=$work" >"$work/bus" 2>/dev/null &
bpid=$!
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SYSTEM_BUS_ADDRESS

echo "no display: playing on Xvfb $DISPLAY for $seconds seconds"
(cd "$app" && exec "$bin/src/mcb" --title headless-play --record "$work/events") &
rpid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^headless-play$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 2                                # the first drop falls into the basket
end=$(( $(date +%s) + seconds ))
while [ "$(date +%s)" -lt "$end" ] && kill -0 "$rpid" 2>/dev/null; do
  xdotool keydown Left; sleep 0.4; xdotool keyup Left; sleep 0.3
  xdotool keydown Right; sleep 0.2; xdotool keyup Right; sleep 0.3
done
kill "$rpid" 2>/dev/null || true
wait "$rpid" 2>/dev/null || true
rpid=""
"$bin/tools/mcbrun" --replay "$work/events" --screenshot "$shot" "$app" 2>/dev/null || true
[ -s "$shot" ] || { echo "no screenshot was written" >&2; exit 1; }
echo "screenshot: $shot"
