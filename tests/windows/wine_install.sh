#!/usr/bin/env bash
# Under Wine (scripts/test-windows sets up the prefix, BRAMBLE_WINE and
# BRAMBLE_APPDATA, the Unix path of the user's application data):
#   1. the game keeps Score.dat in its folder under the application data,
#      and the file is whole (or not yet there) after the game is killed at
#      random moments of its start-up, which writes a missing Score.dat;
#   2. the installer installs silently: the files, the Start-menu entry and
#      the uninstaller's registration are there, and the installed game
#      starts and shows its title;
#   3. the uninstaller removes silently what was installed and keeps the
#      player's Score.dat and MP3 files.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tests/e2e/support/common.sh"
wine=${BRAMBLE_WINE:?}
appdata=${BRAMBLE_APPDATA:?}
folder=$appdata/bramblecourt
out=$build/test-output/wine_install
rm -rf "$out"
mkdir -p "$out"

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
build=$1; folder=$2; out=$3; wine=$4; common=$5
source "$common"
# A whole Score.dat: 288 bytes that begin with the tag.
whole() { [ "$(stat -c %s "$1")" = 288 ] && [ "$(head -c 17 "$1")" = "Bramblecourt 1014" ]; }
window() {
  local w=""
  for _ in $(seq 300); do
    w=$(xdotool search --name '^Bramblecourt$' 2>/dev/null | head -1 || true)
    [ -n "$w" ] && break
    sleep 0.1
  done
  echo "$w"
}

# 1. Score.dat: the game of the earlier tests has written it.
[ -f "$folder/Score.dat" ] || fail "no Score.dat in $folder: $(ls -la "$folder" 2>&1)"
whole "$folder/Score.dat" || fail "Score.dat is not whole"
echo "Score.dat is in $folder"
kills=0
for delay in 0.4 0.7 0.9 1.1 1.3 1.6 2.0 2.5; do
  rm -f "$folder/Score.dat"
  "$wine" "$build/bramblecourt.exe" >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wineserver -w 2>/dev/null &  # the killed process's Windows side ends
  sleep 0.3
  if [ -f "$folder/Score.dat" ]; then
    whole "$folder/Score.dat" || fail "Score.dat broken by a kill after $delay s"
    kills=$((kills + 1))
  fi
done
echo "after 8 kills: Score.dat whole $kills times, not yet written the others"
[ "$kills" -gt 0 ] || fail "the game never wrote Score.dat before a kill"

# 2. The installer, silently.
setup=$(ls "$build"/dist/bramblecourt-*-setup.exe)
"$wine" "$setup" /S || fail "the installer failed"
program="$WINEPREFIX/drive_c/Program Files/Bramblecourt"
for f in bramblecourt.exe bramblecourt-packfile.exe SDL2.dll data/Grafik.dat data/DejaVuSans.ttf \
         README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt uninstall.exe; do
  [ -f "$program/$f" ] || fail "not installed: $f"
done
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Bramblecourt"
[ -f "$menu/Bramblecourt.lnk" ] || fail "no Start-menu entry in $menu"
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bramblecourt' \
  /v UninstallString >/dev/null 2>&1 || fail "the uninstaller is not registered"

"$wine" "$program/bramblecourt.exe" >"$out/installed.out" 2>&1 &
pid=$!
win=$(window)
[ -n "$win" ] || { kill "$pid"; fail "the installed game showed no window"; }
# The title shows once the start-up has loaded the data (slow under Wine).
max=0
for _ in $(seq 30); do
  sleep 0.5
  import -window root "$out/installed_title.png"
  max=$(convert "$out/installed_title.png" -format '%[max]' info:)
  [ "${max%.*}" -gt 0 ] && break
done
[ "${max%.*}" -gt 0 ] || fail "the installed game's screen stayed black"
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep 1
xdotool key --clearmodifiers Escape
sleep 0.5
xdotool key --clearmodifiers y
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the installed game did not quit"; }
wait "$pid" || fail "the installed game's exit status was not 0"
echo "the installed game started and quit"

# 3. The uninstaller, silently; the player's files stay.
whole "$folder/Score.dat" || fail "no whole Score.dat before uninstalling"
cp "$folder/Score.dat" "$out/Score.before"
printf 'ID3 not really music' >"$folder/Eigenes Lied.mp3"
"$wine" "$program/uninstall.exe" /S
# The uninstaller runs on from a copy of itself and returns at once; it
# removes the program folder before the Start-menu entry.
for _ in $(seq 300); do [ -e "$program" ] || [ -e "$menu" ] || break; sleep 0.1; done
[ ! -e "$program" ] || fail "the program folder is still there: $(find "$program")"
[ ! -e "$menu" ] || fail "the Start-menu entry is still there"
cmp -s "$folder/Score.dat" "$out/Score.before" || fail "the uninstaller changed Score.dat"
[ -f "$folder/Eigenes Lied.mp3" ] || fail "the uninstaller removed the player's MP3 file"
echo "uninstalled; Score.dat and the MP3 file stayed"
INNER

"$root/scripts/xvfb-run-wm" bash "$inner" "$build" "$folder" "$out" "$wine" \
  "$root/tests/e2e/support/common.sh"
echo "ok"
