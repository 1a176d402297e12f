#!/usr/bin/env bash
# The scripted runner walks the title, the menu and the quit question to the
# end: the states go 0, 1, 8, 9, and the program ends exactly four seconds
# after the menu was entered (also when the tick count wraps meanwhile).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/support/common.sh"
sim=$build/bramblecourt-sim
[ -x "$sim" ] || fail "$sim is missing"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game_data "$work" "$build"
cd "$work"
cat >quit.script <<'SCRIPT'
# title, then Enter to the menu
wait 500
key ENTER
wait 300
key DOWN
wait 100
# Esc opens the quit question, "y" answers it
key ESC
wait 200
char y
wait 10000
key ENTER
SCRIPT

for start in 1000000 4294966500; do
  "$sim" --start-tick $start quit.script >trace.jsonl || fail "the runner failed (start $start)"
  skip_at_placeholder trace.jsonl
  states=$(events trace.jsonl state | while read -r l; do
    echo -n "$(field "$l" from)>$(field "$l" to) "; done)
  [ "$states" = "0>1 1>8 8>9 " ] || fail "states (start $start): $states"
  menu=$(events trace.jsonl state | head -1)
  exit_line=$(events trace.jsonl exit)
  [ -n "$exit_line" ] || fail "no exit line (start $start)"
  [ -z "$(events trace.jsonl end)" ] || fail "the script went on after the exit"
  [ -z "$(events trace.jsonl box)" ] || fail "unexpected message boxes: $(events trace.jsonl box)"
  waited=$(( ($(field "$exit_line" t) - $(field "$menu" t)) & 0xFFFFFFFF ))
  [ "$waited" -eq 4000 ] || fail "exit $waited ms after entering the menu, not 4000 (start $start)"
  [ "$(field "$exit_line" code)" = 0 ] || fail "exit code $(field "$exit_line" code)"
  echo "start $start: states $states exit $waited ms after the menu"
done
echo "ok"
