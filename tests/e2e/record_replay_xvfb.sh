#!/usr/bin/env bash
# A session of the real game recorded and replayed headless. Under Xvfb,
# driven by xdotool: the title, the menu, a round with shots at targets found
# in screenshots and shots into the ground, a reload, the round played out,
# the name entry, the highscore table and the quit, with --record and
# --snap-at-exit. Its replay by bramblecourt-sim writes the same trace, the
# same Score.dat and the same last frame. A second session killed with
# SIGKILL in the middle of its round replays up to where its recording ends
# and stops cleanly. A recording replayed with other data files, or changed
# in one byte, is refused.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
game=$(real_game "$build")
sim=$build/bramblecourt-sim
out=${BRAMBLE_TEST_OUTPUT:-$PWD}/record_replay
rm -rf "$out"
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for d in real killed replay replay_killed other; do
  mkdir -p "$work/$d"
  game_data "$work/$d" "$build" >/dev/null
done
# A top ten of -1 points each, so that the round enters it however few
# targets the clicks hit; the recording carries it to the replay.
{
  printf 'Bramblecourt 1014'
  head -c 31 /dev/zero
  for _ in $(seq 10); do printf '\xff\xff\xff\xffNobody'; head -c 14 /dev/zero; done
} >"$work/real/Score.dat"
[ "$(stat -c %s "$work/real/Score.dat")" = 288 ] || fail "the prepared Score.dat is not 288 bytes"
cp "$work/real/Score.dat" "$work/real/Score.before"

cat >"$work/inner.sh" <<'INNER'
set -uo pipefail
work=$1
game=$2
out=$3
source "$4"

alive() { kill -0 $pid 2>/dev/null || fail "the game ended early: $(cat game.err)"; }
source "$(dirname "$4")/screen.sh"
# Waits (up to 200 s) until the trace beside the recording shows state $2.
wait_state() {
  for _ in $(seq 2000); do
    grep -q "\"ev\":\"state\",\"from\":[0-9]*,\"to\":$2}" "$1" && return 0
    alive
    sleep 0.1
  done
  fail "the game never reached state $2"
}
start_game() {
  "$game" --record "$1" "${@:2}" >game.out 2>game.err &
  pid=$!
  [ -n "$(game_window)" ] || { kill $pid; fail "no game window"; }
}
# Title, menu, Start Game, the intro, shots at targets and into the ground,
# a reload.
into_round() {
  sleep 1.5
  key Return
  sleep 1
  click 512 110
  sleep 6
  for _ in $(seq 6); do
    if pos=$(target) && [ -n "$pos" ]; then
      alive
      xdotool mousemove $pos click 1
    fi
    sleep 0.3
    click 300 740   # into the ground: a miss
    sleep 0.3
  done
  click 512 384 3
  sleep 0.5
}

# The whole session.
cd "$work/real"
start_game ../session.rec --snap-at-exit ./last.png
into_round
# More shots at targets until one is heard hit (a slow build, such as the
# sanitizers', moves a target on before the click comes), reloading after
# every six.
hit_sounds='"ev":"sound","item":(1|7|9),'
for i in $(seq 48); do
  grep -qE "$hit_sounds" ../session.rec.trace && break
  if pos=$(target) && [ -n "$pos" ]; then
    alive
    xdotool mousemove $pos click 1
  fi
  sleep 0.4
  [ $((i % 6)) -eq 0 ] && click 512 384 3 && sleep 0.5
done
wait_state ../session.rec.trace 4   # the rest of the round, then the name entry
sleep 0.5
xdotool type --delay 80 "Rec"
sleep 1      # the typed name is taken into the entry as the screen is drawn
key Return
wait_state ../session.rec.trace 5
sleep 0.5
key n        # game over: back to the menu
sleep 1
key Down
key Return   # the highscore table
sleep 1.5
key Escape
sleep 0.5
key Escape   # the quit question
sleep 1.1
key y
for _ in $(seq 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $pid 2>/dev/null && { kill $pid; fail "the game did not end after the quit"; }
wait $pid || fail "the game's exit status was not 0: $(cat game.err)"

# A session killed in the middle of its round.
cd "$work/killed"
start_game ../killed.rec
into_round
sleep 2
kill -KILL $pid
wait $pid 2>/dev/null
exit 0
INNER

XVFB_SIZE=${XVFB_SIZE:-1280x960} "$root/scripts/xvfb-run-wm" bash "$work/inner.sh" "$work" \
  "$game" "$out" "$here/support/common.sh" || fail "the session under Xvfb failed"
[ -s "$work/session.rec" ] || fail "no recording"
cp "$work/session.rec" "$work/session.rec.trace" "$work/killed.rec" "$work/killed.rec.trace" "$out/"
echo "recording: $(stat -c %s "$work/session.rec") bytes, $(wc -l <"$work/session.rec.trace") trace lines"

# The session was what it should be: a round with hits, the name entry, the
# table, the quit.
trace=$work/session.rec.trace
for to in 1 2 3 4 5 6 8 9; do
  grep -q "\"ev\":\"state\",\"from\":[0-9]*,\"to\":$to}" "$trace" || fail "the session never reached state $to"
done

# The round heads the list (the others have -1 points) under the proposed
# name with "Rec" typed after it, and with more than no points: shots hit.
read -r points name < <(od -An -tu1 -v -j 48 -N 24 "$work/real/Score.dat" | tr -s ' \n' ' ' |
  awk '{ p = $1 + 256 * $2 + 65536 * $3; n = ""
         for (i = 5; i <= 24 && $i != 0; i++) n = n sprintf("%c", $i); print p, n }')
[[ "$name" == *Rec ]] || fail "the name entered is not first in Score.dat (first: $name)"
[ "$points" -gt 0 ] || fail "no shot hit a target in the recorded round"
echo "the round: $points points for $name"

# The replay: the same trace, Score.dat and last frame.
cd "$work/replay"
"$sim" --replay ../session.rec --snap-at-exit last >trace 2>err || fail "replay failed: $(cat err)"
diff "$trace" trace >"$out/trace.diff" || fail "the replay's trace differs (record_replay/trace.diff)"
cmp "$work/real/Score.dat" Score.dat || fail "the replay's Score.dat differs"
cmp "$work/real/last.png" last.png || fail "the replay's last frame differs"
cp last.png "$out/last.png"
echo "replay: same trace ($(wc -l <trace) lines), same Score.dat, same last frame"

# The killed session: replayed up to where the recording ends, a clean stop,
# and a trace the real one begins with.
cd "$work/replay_killed"
"$sim" --replay ../killed.rec >trace 2>err || fail "the killed recording's replay failed: $(cat err)"
grep -q 'the recording ends in pass' err || fail "no message where the recording ends: $(cat err)"
tail -2 trace | head -1 | grep -q '"ev":"dump","state":3' || fail "the replay did not stop in the round"
head -n -2 trace >replayed
[ -s replayed ] && cmp -s replayed <(head -n "$(wc -l <replayed)" "$work/killed.rec.trace") ||
  fail "the killed session's replay departs from its trace"
echo "killed: $(cat err)"

# Refused: other data files, and one byte changed.
cd "$work/other"
printf 'x' >>start.wav
if "$sim" --replay ../session.rec >/dev/null 2>err; then fail "replayed with other data files"; fi
grep -q 'refused: the recording was made with other data files: start.wav' err ||
  fail "no clear message for other data files: $(cat err)"
rm start.wav
cp "$work/replay/start.wav" .
cp ../session.rec changed.rec
size=$(stat -c %s changed.rec)
printf '\x55' | dd of=changed.rec bs=1 seek=$((size / 2)) conv=notrunc status=none
cmp -s changed.rec ../session.rec && printf '\xAA' | dd of=changed.rec bs=1 seek=$((size / 2)) conv=notrunc status=none
if "$sim" --replay changed.rec >/dev/null 2>err; then fail "replayed a changed recording"; fi
grep -q 'refused: the recording is damaged' err || fail "no clear message for a changed byte: $(cat err)"
echo "refused: $(cat err)"
echo "ok"
