#!/usr/bin/env bash
# The start-up on the default data and on hostile game folders: a clean start
# without a message box; a broken Sound.dat stopped with the sound loader's
# messages and error 23; and Score.dat in a folder the player cannot write,
# unreadable to the player, or on a full disk: the list lives in memory, the
# one message is shown, the game goes on, and the old file stays whole.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/support/common.sh"
sim=$build/bramblecourt-sim
[ -x "$sim" ] || fail "$sim is missing"
for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
  [ -f "$build/data/$f" ] || { echo "skipped: $build/data/$f has not been generated"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
data=(Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav)
schreiben='Highscore_schreiben: CreateFile(GENERIC_WRITE)'

# folder NAME: a fresh game folder with the default data.
folder() {
  local dir=$work/$1
  mkdir -p "$dir"
  for f in "${data[@]}"; do cp "$build/data/$f" "$dir/"; done
  chmod 755 "$dir"
  echo "$dir"
}
texts() { events "$1" box | while read -r l; do echo "$(field "$l" caption)|$(field "$l" text)"; done; }

# Starts, goes to the menu and dumps.
printf 'passes 2\nkey ENTER\npasses 2\n' >"$work/menu.script"
chmod 644 "$work/menu.script"

# --- the default data: no message at all, and a fresh Score.dat ---------------
dir=$(folder plain)
(cd "$dir" && "$sim" "$work/menu.script" >trace.jsonl 2>err.txt) || fail "runner failed: $(cat "$dir/err.txt")"
[ -z "$(events "$dir/trace.jsonl" box)" ] || fail "boxes: $(texts "$dir/trace.jsonl")"
[ "$(stat -c %s "$dir/Score.dat")" = 288 ] || fail "Score.dat is not 288 bytes"
[ "$(field "$(events "$dir/trace.jsonl" dump)" state)" = 1 ] || fail "the menu was not reached"
echo "default data: ok"

# --- a broken sound entry: the loader's two messages, then error 23 ----------
dir=$(folder broken_sound)
size=$(stat -c %s "$dir/Sound.dat")
offset=$(od -An -tu4 -j $((size - 564 + 204)) -N4 "$dir/Sound.dat" | tr -d ' ')
printf 'XXXX' | dd of="$dir/Sound.dat" bs=1 seek="$offset" conv=notrunc 2>/dev/null
(cd "$dir" && "$sim" "$work/menu.script" >trace.jsonl 2>err.txt) || fail "runner failed: $(cat "$dir/err.txt")"
expected="Error...|DSound_WaveFormat: mmioDescend(RIFF)
Error...|PackFile_Sound_laden: DSound_WaveFormat()
Error Nr.:23|Dieses Spiel kann leider nicht gestartet werden!"
[ "$(texts "$dir/trace.jsonl")" = "$expected" ] || fail "boxes: $(texts "$dir/trace.jsonl")"
state=$(events "$dir/trace.jsonl" state)
[ "$(field "$state" from)>$(field "$state" to)" = "0>9" ] || fail "state: $state"
[ "$(field "$(events "$dir/trace.jsonl" exit)" code)" = 1 ] || fail "no exit: $(cat "$dir/trace.jsonl")"
[ -z "$(events "$dir/trace.jsonl" dump)" ] || fail "the script ran on after the exit"
echo "broken Sound.dat: ok"

# --- hostile folders ------------------------------------------------------
# Root may read and write anything, so the player is played by nobody then.
as_player() {
  if [ "$(id -u)" = 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}
if [ "$(id -u)" = 0 ] && ! runuser -u nobody -- true 2>/dev/null; then
  echo "skipped: cannot run as another user"
  exit 77
fi

# The game went on with a fresh list in memory after exactly the one message.
goes_on_with_fresh_list() {
  local trace=$1 dump
  [ "$(texts "$trace")" = "Error...|$schreiben" ] || fail "boxes: $(texts "$trace")"
  dump=$(events "$trace" dump)
  [ "$(field "$dump" state)" = 1 ] || fail "the game did not go on: $dump"
  [ "$(grep -o 'F.Harbeck' <<<"$dump" | wc -l)" = 10 ] || fail "no fresh list: $dump"
}

# A folder the player cannot write: no Score.dat, and none made.
dir=$(folder readonly_folder)
chmod 555 "$dir"
(cd "$dir" && as_player "$sim" "$work/menu.script" >"$work/ro.jsonl" 2>/dev/null) || fail "runner failed"
goes_on_with_fresh_list "$work/ro.jsonl"
[ ! -e "$dir/Score.dat" ] && [ ! -e "$dir/Score.dat.tmp" ] || fail "a file was made"
echo "folder that cannot be written: ok"

# A Score.dat the player can neither read nor write, in a folder it can
# write: kept as it is.
dir=$(folder unreadable)
cp "$here/../../fuzz/corpus/highscore_load/valid" "$dir/Score.dat"
cp "$dir/Score.dat" "$work/original.dat"
chmod 000 "$dir/Score.dat"
chmod 777 "$dir"
(cd "$dir" && as_player "$sim" "$work/menu.script" >"$work/unreadable.jsonl" 2>/dev/null) ||
  fail "runner failed"
goes_on_with_fresh_list "$work/unreadable.jsonl"
chmod 644 "$dir/Score.dat"
cmp -s "$dir/Score.dat" "$work/original.dat" || fail "the unreadable Score.dat was changed"
[ ! -e "$dir/Score.dat.tmp" ] || fail "a temporary file was left"
echo "unreadable Score.dat: ok"

# --- a full disk --------------------------------------------------------------
# A small file system of its own in a private mount namespace (root only): a
# damaged Score.dat cannot be replaced; it stays as it was, the player is told
# both, and the game goes on.
if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
  echo "skipped: full disk (needs root and mount namespaces)"
  exit 0
fi
dir=$work/full
mkdir -p "$dir"
head -c 287 "$here/../../fuzz/corpus/highscore_load/valid" >"$work/short.dat"
unshare -m --propagation private bash -c '
  set -e
  mount -t tmpfs -o size=16k tmpfs "$1"
  cd "$1"
  for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
    ln -s "$2/data/$f" "$f"
  done
  cp "$4/short.dat" Score.dat
  dd if=/dev/zero of=filler bs=4k 2>/dev/null || true
  "$3" "$4/menu.script" >"$4/full.jsonl" 2>/dev/null
  cmp -s Score.dat "$4/short.dat" || { echo "Score.dat was changed"; exit 1; }
  [ ! -e Score.dat.tmp ] || { echo "a temporary file was left"; exit 1; }
' full "$dir" "$build" "$sim" "$work" || fail "full disk"
expected="Error...|$schreiben
Error...|Ihre Highscoreliste ist fehlerhaft,\\nund mußte komplett neu anglegt werden!"
[ "$(texts "$work/full.jsonl")" = "$expected" ] || fail "boxes: $(texts "$work/full.jsonl")"
[ "$(field "$(events "$work/full.jsonl" dump)" state)" = 1 ] || fail "the game did not go on"
echo "full disk: ok"
