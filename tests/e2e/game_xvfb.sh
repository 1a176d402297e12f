#!/usr/bin/env bash
# The real game under Xvfb: in a folder with the seven required files it opens
# its window, shows the title frame (saved as game_title.png beside this test's
# output) and ends after Esc on the title; without the files it writes the
# missing-file message to stderr and ends once the message box is closed.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
game=$(real_game "$build")
out=${BRAMBLE_TEST_OUTPUT:-$PWD}
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/with" "$work/without"
game_data "$work/with" "$build"

# Runs inside the X session: start, wait for the window, screenshot, Esc.
cat >"$work/with.sh" <<'INNER'
set -uo pipefail
cd "$1"
"$2" >game.out 2>game.err &
pid=$!
win=$(timeout 20 xdotool search --sync --name '^Bramblecourt$' | head -1)
[ -n "$win" ] || { echo "no game window" >&2; kill $pid; exit 1; }
# The window's class, as desktops see it, is the game's class name.
class=$(xprop -id "$win" WM_CLASS 2>&1)
[[ $class == *'"Tarnwick"'* ]] || { echo "WM_CLASS: $class" >&2; kill $pid; exit 1; }
sleep 1.5  # a few title frames
# Every failing routine of the finished game reports its own message before
# the start-up's final box; that box alone means a placeholder was reached.
if head -1 game.err | grep -q '^Error Nr\.:'; then
  echo "$(head -1 game.err)" >placeholder
  kill $pid
  exit 77
fi
import -window root "$3/game_title.png" || { echo "no screenshot" >&2; }
xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool key --clearmodifiers Escape
for _ in $(seq 200); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  echo "the game did not end after Esc" >&2
  kill $pid
  exit 1
fi
wait $pid
INNER

# Without the files: the message box blocks until it is closed. It takes the
# focus when it opens; Return presses its button. The game's exit status goes
# to a file, so that a failure of this script is not taken for it.
cat >"$work/without.sh" <<'INNER'
set -uo pipefail
cd "$1"
"$2" >game.out 2>game.err &
pid=$!
for _ in $(seq 300); do
  kill -0 $pid 2>/dev/null || break
  if grep -q "Es fehlt mindestens eine Datei" game.err; then
    sleep 0.3
    xdotool key --clearmodifiers Return 2>/dev/null || true
  fi
  sleep 0.2
done
if kill -0 $pid 2>/dev/null; then
  echo "the game did not end without its files" >&2
  kill $pid
  exit 3
fi
status=0
wait $pid || status=$?
echo $status >status
INNER

status=0
"$root/scripts/xvfb-run-wm" bash "$work/with.sh" "$work/with" "$game" "$out" || status=$?
if [ $status -eq 77 ]; then
  echo "skipped: start-up stopped at $(cat "$work/with/placeholder") without a message of its own;"
  echo "skipped: that subsystem is still a placeholder"
  exit 77
fi
[ $status -eq 0 ] || fail "with the files: status $status; stderr: $(cat "$work/with/game.err")"
[ -s "$out/game_title.png" ] || fail "no screenshot of the title"
size=$(identify -format '%wx%h' "$out/game_title.png")
echo "title frame: $out/game_title.png ($size)"

"$root/scripts/xvfb-run-wm" bash "$work/without.sh" "$work/without" "$game" ||
  fail "without the files: the game did not end"
grep -q "Es fehlt mindestens eine Datei!" "$work/without/game.err" ||
  fail "no missing-file message on stderr: $(cat "$work/without/game.err")"
status=$(cat "$work/without/status")
[ "$status" = 1 ] || fail "without the files: status $status, not 1"
echo "ok"
