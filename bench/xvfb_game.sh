#!/usr/bin/env bash
# A whole game of the real game on a private Xvfb screen with openbox, played
# by xdotool: the title, the menu, a full round with shots and reloads, its
# end (a name entered if the points make the list), the highscore table, the
# credits and the quit. The game runs with --stats. Beside it, from before its
# start to after its end, the bare reference program (bench_present
# --reference) uploads and presents a frame 40 times a second, the rate of
# play, on a screen of its own, so that both use the processors under the same
# conditions. Then the headless runner plays a whole game for its peak memory.
#
#   bench/xvfb_game.sh BUILD [OUT_DIR]
#
# Writes OUT_DIR/game_stats.txt (the game's --stats), OUT_DIR/reference.txt
# and prints a summary; with SHOTS=1 also a screenshot of each screen (which
# holds the X server while it is taken, and so lengthens the passes around
# it). Needs Xvfb, openbox, xdotool and ImageMagick (scripts/packages.txt).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: bench/xvfb_game.sh BUILD [OUT_DIR]" >&2; exit 2; }
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${2:-$build/bench-out}" && cd "${2:-$build/bench-out}" && pwd)
for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
  [ -f "$build/data/$f" ] || { echo "no $build/data/$f: build the default data first" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
  cp "$build/data/$f" "$work/"
done
# A top-ten list of ten rounds without a point, so that any hit makes the list
# and the name entry is played too (a fresh list asks for 1600 points).
{
  printf 'Bramblecourt 1014'; head -c 15 /dev/zero
  printf '\xe8\x07\x01\x00\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  for _ in $(seq 10); do printf '\x00\x00\x00\x00Nobody'; head -c 14 /dev/zero; done
} >"$work/Score.dat"
cp "$work/Score.dat" "$work/Score.dat.start"
rm -f "$out"/*.png "$out"/game_stats.txt "$out"/reference.txt

cat >"$work/play.sh" <<'INNER'
set -uo pipefail
build=$1 out=$2
cd "$(dirname "$0")"
"$build/bramblecourt" --stats >"$out/game_stats.txt" 2>"$out/game_err.txt" &
game=$!
win=$(timeout 20 xdotool search --sync --name '^Bramblecourt$' | head -1)
[ -n "$win" ] || { echo "no game window" >&2; kill $game; exit 1; }
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
# The game's 1024 x 768 is scaled into the middle of the screen.
read -r sw sh < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
at() {  # game x y -> screen x y
  awk -v sw="$sw" -v sh="$sh" -v x="$1" -v y="$2" 'BEGIN {
    s = sw * 768 < sh * 1024 ? sw / 1024 : sh / 768
    printf "%d %d\n", (sw - 1024 * s) / 2 + x * s, (sh - 768 * s) / 2 + y * s }'
}
key() { xdotool key --clearmodifiers "$@"; }
shot() {
  if [ "${SHOTS:-0}" = 1 ]; then import -window root "$out/$1.png" 2>/dev/null || true; fi
}

sleep 3; shot title
key Return; sleep 2; shot menu
key Down; key Return; sleep 3; shot highscores   # Show Highscores
key Escape; sleep 1
key Down; key Return; sleep 12; shot credits     # Show Credits
key Escape; sleep 1
key Up; key Up; key Return                       # Start Game: the intro, then play
sleep 6; shot play
# Shots all over the landscape, a reload after every six, for most of the 90
# round seconds (3690 passes of at least 25 ms each).
end=$((SECONDS + 85)); n=0
while [ $SECONDS -lt $end ]; do
  read -r x y < <(at $((60 + RANDOM % 900)) $((80 + RANDOM % 560)))
  xdotool mousemove "$x" "$y" click 1
  n=$((n + 1))
  if [ $((n % 6)) = 0 ]; then xdotool click 3; fi
  sleep 0.4
done
# The round lasts as many seconds more as its passes were longer. Letters and
# Enter do nothing in play; at the round's end they enter a name, and the
# list written anew tells that the game-over screen is next.
list=$(md5sum <Score.dat)
for _ in $(seq 60); do
  xdotool type --delay 60 "Bot"; key Return; sleep 2
  [ "$(md5sum <Score.dat)" != "$list" ] && break
done
[ "$(md5sum <Score.dat)" != "$list" ] || echo "the round made no entry in the list" >&2
shot game_over
xdotool type "n"; sleep 2
key Escape; sleep 1; shot quit                    # the quit question
xdotool type "y"
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && { echo "the game did not end" >&2; kill $game; exit 1; }
wait $game
INNER

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
"$root/scripts/xvfb-run-wm" "$build/bench_present" --reference --fps 40 --seconds 175 \
  >"$out/reference.txt" 2>&1 &
reference=$!
sleep 4  # its start-up is over before the game's
"$root/scripts/xvfb-run-wm" bash "$work/play.sh" "$build" "$out"
wait $reference
echo "--- the game (--stats) ---"
cat "$out/game_stats.txt"
echo "--- beside the round: the bare reference ---"
cat "$out/reference.txt"

# The headless runner through a whole game: its peak resident memory.
{
  printf 'wait 3000\nkey ENTER\nwait 2000\n'
  printf 'key DOWN\nkey ENTER\nwait 3000\nkey ESC\nwait 1000\n'
  printf 'key DOWN\nkey ENTER\nwait 12000\nkey ESC\nwait 1000\n'
  printf 'key UP\nkey UP\nkey ENTER\nwait 6000\n'
  for i in $(seq 215); do  # shots over the round, a reload after every six
    printf 'move %d %d\nlclick\nwait 400\n' $(((i * 397) % 900 + 60)) $(((i * 211) % 560 + 80))
    [ $((i % 6)) = 0 ] && printf 'rclick\n'
  done
  printf 'wait 10000\ntext Bot\nchar \\013\nwait 2000\nchar n\nwait 2000\nkey ESC\nchar y\nwait 5000\n'
} >"$work/whole.script"
cp "$work/Score.dat.start" "$work/Score.dat"
(cd "$work" && /usr/bin/time -f "%M" -o "$work/rss.txt" \
  "$build/bramblecourt-sim" "$work/whole.script" >"$work/trace.jsonl")
echo "--- the headless runner through a whole game ---"
echo "peak resident memory: $(( $(cat "$work/rss.txt") / 1024 )) MiB ($(cat "$work/rss.txt") KiB);" \
     "states: $(grep -o '"ev":"state","from":[0-9]*,"to":[0-9]*' "$work/trace.jsonl" | sed 's/.*from":\([0-9]*\),"to":\([0-9]*\)/\1>\2/' | tr '\n' ' ')"
