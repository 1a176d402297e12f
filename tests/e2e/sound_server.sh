#!/usr/bin/env bash
# A real sound server: a private PulseAudio with a null sink whose monitor
# this script records. First the sound layer alone: the server hangs (SIGSTOP)
# under a playing device, and sounds still end on time. Then the real game
# under Xvfb: the server is killed under it and started again; the game goes
# on, says so on stderr, plays through the new server within seconds, and its
# sounds are heard there. Last the server hangs and the game is quit: it ends
# all the same.
# Skipped (77) where no PulseAudio server can be started.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
game=$(real_game "$build")
for tool in pulseaudio pactl parec sox xdotool; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: $tool is not installed (scripts/bootstrap --test installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
mkdir -p "$work/game" "$work/pa"
cleanup() {
  local pid
  pid=$(cat "$work/pa/pid" 2>/dev/null || true)
  if [ -n "$pid" ]; then
    kill -CONT "$pid" 2>/dev/null || true
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
game_data "$work/game" "$build"

# Starts the server and waits until it answers; its pid goes to pa/pid. It
# runs as whoever runs the test (root in CI, which PulseAudio warns about and
# allows), with its files in a folder of its own, so it meets no other server
# and no session bus.
cat >"$work/server.sh" <<'SERVER'
pa=$1
XDG_RUNTIME_DIR=$pa HOME=$pa PULSE_STATE_PATH=$pa \
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --disable-shm \
  -L "module-null-sink sink_name=out" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$pa/native" \
  --log-target=stderr </dev/null >>"$pa/log" 2>&1 &
echo $! >"$pa/pid"
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && exit 0
  kill -0 "$(cat "$pa/pid")" 2>/dev/null || exit 1
  sleep 0.1
done
exit 1
SERVER
export PULSE_SERVER=unix:$work/pa/native
if ! bash "$work/server.sh" "$work/pa"; then
  echo "skipped: no PulseAudio server can be started here: $(tail -3 "$work/pa/log")"
  exit 77
fi

# The sound layer alone under a server that hangs: sounds end on time.
probe=$build/audio_sdltest
[ -x "$probe" ] || fail "$probe has not been built"
SDL_AUDIODRIVER=pulseaudio BRAMBLE_SOUND_SERVER_PID=$(cat "$work/pa/pid") timeout 60 "$probe" \
  --gtest_also_run_disabled_tests \
  --gtest_filter=AudioSdlAlone.DISABLED_SoundsEndOnTimeWhileTheServerHangs >"$work/probe.log" 2>&1 ||
  fail "sounds under a hanging server: $(cat "$work/probe.log")"
grep "^with the server" "$work/probe.log"
kill -CONT "$(cat "$work/pa/pid")"

cat >"$work/inner.sh" <<'INNER'
set -uo pipefail
work=$1 game=$2
source "$3"
cd "$work/game"
"$game" >game.out 2>game.err &
pid=$!
trap 'kill -KILL $pid 2>/dev/null' EXIT
alive() { kill -0 $pid 2>/dev/null; }
# The game's stream on the server (not this script's recording).
playing() { [ -n "$(pactl list short sink-inputs 2>/dev/null)" ]; }
wait_for() {  # wait_for SECONDS COMMAND...
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.2; done
}
keys() { xdotool key --clearmodifiers "$@" 2>/dev/null || true; }
# Peak of what the server played over 2 seconds while the menu selection
# moves (each move plays a sound), in 16-bit units.
heard() {
  timeout 2 parec -d out.monitor --raw --format=s16le --rate=44100 --channels=2 >"$work/rec.raw" &
  local rec=$!
  for _ in 1 2 3 4; do sleep 0.4; keys Down; done
  wait $rec
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/rec.raw" -n stat 2>&1 |
    awk '/Maximum amplitude/ { printf "%d\n", $3 * 32768 }'
}
win=$(timeout 20 xdotool search --sync --name '^Bramblecourt$' | head -1)
[ -n "$win" ] || fail "no game window: $(cat game.err)"
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null || true
keys Return  # the menu
wait_for 10 playing || fail "the game never played through the server: $(cat game.err)"
peak=$(heard)
echo "before: peak $peak"
[ "${peak:-0}" -gt 300 ] || fail "nothing heard from the game at first (peak $peak)"

# The server goes away under the game.
kill -KILL "$(cat "$work/pa/pid")"
sleep 1
keys Down Up Down
sleep 1
alive || fail "the game ended when the server went away: $(cat game.err)"
wait_for 5 grep -q "went away" game.err || fail "the game did not notice the server going: $(cat game.err)"

# A new server: the game plays through it without a restart.
bash "$work/server.sh" "$work/pa" || fail "the server did not start again"
wait_for 10 playing || fail "the game did not come back to the new server: $(cat game.err)"
peak=$(heard)
echo "after the restart: peak $peak"
[ "${peak:-0}" -gt 300 ] || fail "nothing heard from the game after the restart (peak $peak)"
alive || fail "the game ended: $(cat game.err)"

# The server hangs; the game is quit (Esc, then y on the question) and ends.
kill -STOP "$(cat "$work/pa/pid")"
keys Down Down
sleep 0.5
keys Escape
sleep 0.5
keys y
wait_for 20 bash -c "! kill -0 $pid 2>/dev/null" ||
  fail "the game did not end while the server hung: $(cat game.err)"
status=0
wait $pid || status=$?
[ $status -eq 0 ] || fail "the game ended with status $status: $(cat game.err)"
echo "game stderr:"
cat game.err
INNER

SDL_AUDIODRIVER=pulseaudio "$root/scripts/xvfb-run-wm" \
  bash "$work/inner.sh" "$work" "$game" "$here/support/common.sh" ||
  fail "see above"
echo "ok"
