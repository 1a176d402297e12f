#!/usr/bin/env bash
# The real game in a real window on Xvfb, driven by xdotool as a player would:
# title, menu, Start Game, the intro, a round with clicks on the targets found
# in a screenshot and a reload, Esc back to the menu, the quit question, "y".
# Screenshots of each screen are checked by their pixels: the black letterbox
# bars beside the 4:3 picture, the menu's planks with the red first item, the
# sky and the landscape in play. With --full (not run by CTest) the round is
# played out to its end and the way goes on through game over, the highscore
# table and two credits pages before the quit.
set -euo pipefail
build=$(cd "$1" && pwd)
full=0
[ "${2:-}" = --full ] && full=1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
# BRAMBLE_GAME: another command to run as the game (the Windows one under
# Wine, say).
game=${BRAMBLE_GAME:-$(real_game "$build")}
out=${BRAMBLE_TEST_OUTPUT:-$PWD}/game_round
rm -rf "$out"
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game_data "$work" "$build"

cat >"$work/inner.sh" <<'INNER'
set -uo pipefail
cd "$1"
game=$2
out=$3
full=$4
source "$5"
source "$(dirname "$5")/screen.sh"

start_game() {
  "$game" >game.out 2>game.err &
  pid=$!
  win=$(game_window)
}
start_game
# BRAMBLE_GAME_RETRY (set under Wine): Wine's first window on a new screen of
# a fresh prefix now and then fails while Wine sets the screen up, and the
# game ends at once with its CreateWindow message; it is started once more.
if [ -z "$win" ] && [ -n "${BRAMBLE_GAME_RETRY:-}" ] && ! kill -0 $pid 2>/dev/null; then
  echo "the game ended before its window ($(head -c 200 game.err)); starting it again"
  start_game
fi
[ -n "$win" ] || { kill $pid; fail "no game window"; }
# The keys go to the game's window, also where the window manager gives a
# new window the focus only a moment after mapping it (a game under Wine).
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep "${BRAMBLE_GAME_SETTLE:-0}"
alive() { kill -0 $pid 2>/dev/null || fail "the game ended early: $(cat game.err)"; }

shot() {
  alive
  import -window root "$out/$1.png" || fail "no screenshot $1"
}
# "r g b" of game pixel (x, y) in a screenshot.
px() {
  local x y
  x=$(sx "$2")
  y=$(sy "$3")
  convert "$out/$1.png" -format \
    "%[fx:int(255*p{$x,$y}.r+0.5)] %[fx:int(255*p{$x,$y}.g+0.5)] %[fx:int(255*p{$x,$y}.b+0.5)]" info:
}
# Share (0 to 1) of the pixels of a game rectangle whose colour passes an awk
# test on r, g and b.
share() {
  local name=$1 x=$2 y=$3 w=$4 h=$5 test=$6 gw gh
  gw=$(awk -v w="$w" -v s="$scale" 'BEGIN { printf "%d", w * s }')
  gh=$(awk -v h="$h" -v s="$scale" 'BEGIN { printf "%d", h * s }')
  convert "$out/$name.png" -crop "${gw}x${gh}+$(sx "$x")+$(sy "$y")" +repage -sample 25% txt:- |
    awk -F'[()]' 'NR > 1 { split($2, c, ","); r = c[1]; g = c[2]; b = c[3]; n++; if ('"$test"') k++ }
                  END { printf "%.2f", n ? k / n : 0 }'
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
# The bars beside (or above) the picture stay black.
bars_black() {
  local max=0
  if [ "$ox" -gt 0 ]; then
    max=$(convert "$out/$1.png" -crop "${ox}x${sh}+0+0" +repage -format '%[max]' info:)
  elif [ "$oy" -gt 0 ]; then
    max=$(convert "$out/$1.png" -crop "${sw}x${oy}+0+0" +repage -format '%[max]' info:)
  fi
  [ "${max%.*}" = 0 ] || fail "$1: the letterbox bars are not black (max $max)"
}
# The screenshots are taken as the game runs and checked after it has ended,
# so that checking them does not slow the way through the screens.
sleep 1.5
shot title
key Return
sleep 1
shot menu
click 512 110
sleep 6  # the intro: five seconds
shot play

shots=0
for _ in $(seq 8); do
  if pos=$(target) && [ -n "$pos" ]; then
    alive
    xdotool mousemove $pos click 1
    shots=$((shots + 1))
  fi
  sleep 0.4
done
echo "clicked at $shots targets"
click 512 384 3  # reload
sleep 0.3
shot play_after

if [ "$full" = 1 ]; then
  # The rest of the 90 seconds, then the round's end.
  sleep 86
  shot round_end
  key Return  # a name entry takes the proposed name; game over ignores it
  sleep 1.5
  shot game_over
  key n
  sleep 1
  key Down
  key Return
  sleep 1.5
  shot highscores
  key Escape
  sleep 0.5
  key Down
  key Return
  sleep 9
  shot credits
  key Escape
  key Up
  key Up
else
  key Escape
fi
# The farewell stays until four seconds after the menu was entered: the
# screenshots on the way there are quick ones.
sleep 0.3
shot menu_again
key Escape
sleep 1.1
shot quit
key y
sleep 0.1
import -window root "$out/farewell.png" || true
for _ in $(seq 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  kill $pid
  fail "the game did not end after the quit"
fi
wait $pid || fail "the game's exit status was not 0"

for name in title menu play play_after menu_again quit; do
  bars_black $name
done
[ "$(px title 300 100)" != "0 0 0" ] || fail "title: no picture"
# The planks are light wood; the selected "Start Game" is red on the first.
for name in menu menu_again; do
  at_least "$(share $name 220 90 580 50 'r > 150 && r > g && g > b')" 0.6 ||
    fail "$name: no wooden plank at the first item"
done
at_least "$(share menu 410 100 210 25 'r > 140 && g < 60 && b < 60')" 0.02 ||
  fail "menu: the first item is not red"
# Sky above, the landscape below: green fields and grass dominate its foot.
at_least "$(share play 0 650 1024 110 'g > r && g > b')" 0.5 || fail "play: no landscape"
# The sky is the commonest colour of the band above the landscape (targets
# fly through it), and a blue one at every hour.
read -r sky skyshare < <(convert "$out/play.png" -crop \
  "$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 1024 * s, 250 * s }')+$(sx 0)+$(sy 60)" \
  +repage -sample 25% txt:- |
  awk -F'[()]' 'NR > 1 { n[$2]++; all++ } END { for (k in n) if (n[k] > b) { b = n[k]; c = k }
                                                gsub(",", "_", c); printf "%s %.2f\n", c, b / all }')
IFS=_ read -r r g b <<<"$sky"
at_least "$skyshare" 0.6 && [ "$b" -gt "$r" ] && [ "$b" -gt "$g" ] ||
  fail "play: no sky above the landscape (commonest colour $sky, $skyshare of the band)"
INNER

XVFB_SIZE=${XVFB_SIZE:-1920x1080} "$root/scripts/xvfb-run-wm" bash "$work/inner.sh" "$work" \
  "$game" "$out" "$full" "$here/support/common.sh"
echo "screenshots in $out"
echo "ok"
