#!/usr/bin/env bash
# The scripted runner's own interface: options, script errors (exit status 2
# with the line named), the run without the game's files, dumps, snapshots
# and the close command.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/support/common.sh"
sim=$build/bramblecourt-sim
[ -x "$sim" ] || fail "$sim is missing"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# --- script errors: nothing runs, the message names the line --------------
bad_lines=("jump" "wait" "wait x" "wait -1" "wait 4294967296" "passes 1 2" "key FOO"
           "key 256" "char ab" "char" "char \\256" "move 1" "move 1 70000" "snap a/b"
           "snap" "dump 3" "close now" "lclick 5" "aim 11" "aim 1 2" "aim x")
for bad in "${bad_lines[@]}"; do
  printf '# comment\n\n%s\nwait 10\n' "$bad" >bad.script
  status=0
  "$sim" bad.script >out.txt 2>err.txt || status=$?
  [ $status -eq 2 ] || fail "'$bad': exit status $status, not 2"
  grep -q "line 3" err.txt || fail "'$bad': the message does not name line 3: $(cat err.txt)"
  [ ! -s out.txt ] || fail "'$bad': the game ran before the script was checked"
done
echo "script errors: ok"

# --- bad command lines -------------------------------------------------------
printf 'wait 10\n' >ok.script
for args in "--frame-ms x ok.script" "--hour 24 ok.script" "--start-tick 4294967296 ok.script" \
            "--bogus ok.script" "" "missing.script" "--user" "ok.script ok.script" \
            "--snap-at-exit a/b ok.script"; do
  status=0
  # shellcheck disable=SC2086
  "$sim" $args >/dev/null 2>err.txt || status=$?
  [ $status -eq 2 ] || fail "'$args': exit status $status, not 2"
  [ -s err.txt ] || fail "'$args': no message"
done
echo "command lines: ok"

# --- without the game's files: one message, the exit 4000 ms after the reset --
printf 'key ENTER\nwait 1000\n' >run.script
"$sim" --start-tick 4294965000 run.script >trace.jsonl 2>/dev/null || fail "runner failed"
box=$(events trace.jsonl box)
[ "$(echo "$box" | wc -l)" -eq 1 ] || fail "boxes: $box"
grep -q '"text":"Es fehlt mindestens eine Datei!\\nDas Spiel kann leider nicht gestartet werden!"' \
  <<<"$box" || fail "box: $box"
[ "$(field "$box" caption)" = "Error..." ] || fail "caption: $box"
state=$(events trace.jsonl state)
[ "$(field "$state" from)>$(field "$state" to)" = "0>9" ] || fail "state: $state"
exit_line=$(events trace.jsonl exit)
[ "$(field "$exit_line" t)" = 1704 ] || fail "exit not 4000 ms after the reset: $exit_line"
[ "$(field "$exit_line" code)" = 1 ] || fail "exit code: $exit_line"
[ "$(wc -l <trace.jsonl)" -eq 3 ] || fail "the script ran after the exit: $(cat trace.jsonl)"
echo "missing files: ok"

# --- a run with the files ------------------------------------------------------
game_data "$work" "$build"
cat >run.script <<'SCRIPT'
passes 3
snap title   # a comment after a command
key ENTER
move 100 200
char \200
char #
passes 1
dump
key DOWN
key DOWN
passes 2
dump
# the quit question takes the "y" at the end of the text
key ESC
text ab#y
passes 1
dump
SCRIPT
"$sim" --hour 23 --user "Ann" --snap-dir shots run.script >trace.jsonl 2>err.txt ||
  fail "runner failed: $(cat err.txt)"
skip_at_placeholder trace.jsonl
[ -z "$(events trace.jsonl box)" ] || fail "boxes: $(events trace.jsonl box)"
[ "$(head -c 8 shots/title.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] ||
  fail "no PNG snapshot"
[ "$(field "$(events trace.jsonl snap)" file)" = shots/title.png ] || fail "snap line"
dumps=$(events trace.jsonl dump)
[ "$(echo "$dumps" | wc -l)" -eq 2 ] || fail "dumps after the exit: $dumps"
first=$(head -1 <<<"$dumps")
for name in state passes Punkte Highscore Kills Lose Zeit Runde Patronen Letzter_Gewinn \
            Menuepunkt Maus_x Maus_y Scroll_x Gewonnen Debugmodus Spielername Himmelsfarbe \
            objekte highscores; do
  grep -q "\"$name\":" <<<"$first" || fail "dump lacks $name"
done
[ "$(field "$first" passes)" = 4 ] || fail "passes: $first"
[ "$(field "$first" state)" = 1 ] || fail "state: $first"
[ "$(field "$first" Maus_x)" = 100 ] || fail "mouse: $first"
[ "$(field "$first" Spielername)" = Ann ] || fail "name: $first"
[ "$(field "$first" Himmelsfarbe)" = 3289408 ] || fail "sky at 23 h: $first"
[ "$(field "$(echo "$dumps" | tail -1)" Menuepunkt)" = 2 ] || fail "menu item: $dumps"
states=$(events trace.jsonl state | while read -r l; do
  echo -n "$(field "$l" from)>$(field "$l" to) "; done)
[ "$states" = "0>1 1>8 8>9 " ] || fail "states: $states"
[ -n "$(events trace.jsonl exit)" ] || fail "no exit"

# close ends the game like closing the window; \NNN posts a byte.
printf 'close\npasses 1\ndump\n' >close.script
"$sim" close.script >trace.jsonl 2>/dev/null || fail "runner failed"
[ -n "$(events trace.jsonl exit)" ] && [ -z "$(events trace.jsonl dump)" ] ||
  fail "close: $(cat trace.jsonl)"
printf 'key ENTER\nkey ESC\nchar \\121\npasses 1\ndump\n' >byte.script
"$sim" byte.script >trace.jsonl 2>/dev/null || fail "runner failed"
[ -n "$(events trace.jsonl exit)" ] || fail "char \\121: $(cat trace.jsonl)"
echo "run with files: ok"

# --- the script from standard input: the same run, and a bad line stops it ----
"$sim" --hour 23 --user "Ann" --snap-dir shots - <run.script >piped.jsonl 2>/dev/null ||
  fail "runner failed on standard input"
"$sim" --hour 23 --user "Ann" --snap-dir shots run.script >trace.jsonl 2>/dev/null
cmp -s trace.jsonl piped.jsonl || fail "standard input ran otherwise: $(diff trace.jsonl piped.jsonl)"
status=0
printf 'passes 2\ndump\njump\ndump\n' | "$sim" - >piped.jsonl 2>err.txt || status=$?
[ $status -eq 2 ] && grep -q "line 3" err.txt || fail "bad line: status $status $(cat err.txt)"
[ "$(events piped.jsonl dump | wc -l)" -eq 1 ] || fail "bad line: $(cat piped.jsonl)"
echo "standard input: ok"

# --- a wait that cannot end -----------------------------------------------------
printf 'wait 100\n' >still.script
status=0
"$sim" --frame-ms 0 still.script >/dev/null 2>err.txt || status=$?
[ $status -eq 2 ] && grep -q "line 1" err.txt || fail "frame-ms 0: status $status $(cat err.txt)"
echo "ok"
