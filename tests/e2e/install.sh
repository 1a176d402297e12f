#!/usr/bin/env bash
# The installed game. `cmake --install` into a temporary DESTDIR puts every
# file where a desktop looks for it, and the desktop entry, the AppStream
# metainfo and the manual pages pass their validators. The installed program
# answers --help, --version and a wrong option without a display. Started
# under Xvfb from another folder with a fresh XDG_DATA_HOME, it creates its
# game folder, shows the frame the game itself draws, holds the pointer grab
# in full screen and lets it go in a window, for another window with the
# focus (activated by xdotool, or by Alt+Tab) and while a message box shows,
# takes it again when it has the focus back, prefers the player's own Grafik.dat, quits with Enter, Esc and "y",
# and writes nothing outside the game folder.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
for f in bramblecourt bramblecourt-sim grab_probe; do
  [ -x "$build/$f" ] || { echo "skipped: $build/$f has not been built"; exit 77; }
done
[ -f "$build/data/Grafik.dat" ] || { echo "skipped: no generated data in $build/data"; exit 77; }
for tool in desktop-file-validate appstreamcli man xdotool import; do
  command -v $tool >/dev/null || fail "$tool is missing (scripts/bootstrap installs it)"
done
out=${BRAMBLE_TEST_OUTPUT:-$PWD}
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dest=$work/dest
prefix=$dest/usr
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log" ||
  fail "cmake --install: $(cat "$work/install.log")"

expected="usr/bin/bramblecourt
usr/bin/bramblecourt-packfile
usr/share/applications/bramblecourt.desktop
usr/share/bramblecourt/Grafik.dat
usr/share/bramblecourt/Sound.dat
usr/share/bramblecourt/credits.wav
usr/share/bramblecourt/lose.wav
usr/share/bramblecourt/main.wav
usr/share/bramblecourt/start.wav
usr/share/bramblecourt/win.wav
usr/share/doc/bramblecourt/changelog.gz
usr/share/doc/bramblecourt/copyright
usr/share/doc/bramblecourt/third-party-notices.txt.gz
usr/share/icons/hicolor/128x128/apps/bramblecourt.png
usr/share/icons/hicolor/256x256/apps/bramblecourt.png
usr/share/icons/hicolor/48x48/apps/bramblecourt.png
usr/share/icons/hicolor/scalable/apps/bramblecourt.svg
usr/share/lintian/overrides/bramblecourt
usr/share/man/man1/bramblecourt-packfile.1.gz
usr/share/man/man6/bramblecourt.6.gz
usr/share/metainfo/bramblecourt.metainfo.xml"
got=$(cd "$dest" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$got" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$got") || true)"
for size in 48 128 256; do
  [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/bramblecourt.png")" \
    = "${size}x$size" ] || fail "the ${size} px icon has another size"
done
cmp -s "$build/data/Grafik.dat" "$prefix/share/bramblecourt/Grafik.dat" ||
  fail "the installed Grafik.dat is not the generated one"

# --- validators -------------------------------------------------------------
desktop-file-validate "$prefix/share/applications/bramblecourt.desktop" ||
  fail "desktop-file-validate"
# The project has no domain of its own to build a reverse-DNS id from; the
# validator's warning about the plain id is lowered until it has one.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
  "$prefix/share/metainfo/bramblecourt.metainfo.xml" || fail "appstreamcli validate"
for page in man6/bramblecourt.6.gz man1/bramblecourt-packfile.1.gz; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/$page" \
    >"$work/man.txt" 2>"$work/man.err" || fail "man $page: $(cat "$work/man.err")"
  [ ! -s "$work/man.err" ] || fail "$page gives warnings: $(cat "$work/man.err")"
done
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/share/man/man6/bramblecourt.6.gz" >"$work/man.txt"
for heading in OPTIONS KEYS FILES "Quit question" "Score.dat" "XDG_DATA_HOME"; do
  grep -q "$heading" "$work/man.txt" || fail "the manual page lacks $heading"
done

# --- command line, no display needed -----------------------------------------
game=$prefix/bin/bramblecourt
home=$work/home
xdg=$home/data # does not exist yet: the game makes it
folder=$xdg/bramblecourt
start=$work/elsewhere
mkdir -p "$home" "$start"
run_env=(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_DATA_HOME="$xdg")
version=$(cd "$start" && "${run_env[@]}" "$game" --version) || fail "--version failed"
[[ ${version%%$'\n'*} =~ ^bramblecourt\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version: $version"
grep -q "MIT licence" <<<"$version" || fail "--version names no licence: $version"
help=$(cd "$start" && "${run_env[@]}" "$game" --help) || fail "--help failed"
grep -q -- "--window" <<<"$help" || fail "--help does not name --window"
grep -q "MIT licence" <<<"$help" || fail "--help names no licence"
# The archive tool tells the same version, from the same one place.
number=${version%%$'\n'*}
number=${number#bramblecourt }
tool_version=$("$prefix/bin/bramblecourt-packfile" --version) || fail "packfile --version failed"
[ "${tool_version%%$'\n'*}" = "packfile (Bramblecourt) $number" ] ||
  fail "packfile --version: $tool_version"
grep -q "MIT licence" <<<"$tool_version" || fail "packfile --version names no licence"
grep -q "<release version=\"$number\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"/>" \
  "$prefix/share/metainfo/bramblecourt.metainfo.xml" || fail "the metainfo has no release $number"
for wrong in --bogus -x extra; do
  status=0
  (cd "$start" && "${run_env[@]}" "$game" $wrong >"$work/wrong.out" 2>"$work/wrong.err") ||
    status=$?
  [ $status = 2 ] || fail "$wrong: status $status, not 2"
  grep -q -- "'$wrong'" "$work/wrong.err" || fail "$wrong: no message naming it"
  [ ! -s "$work/wrong.out" ] || fail "$wrong: output on stdout"
done
[ ! -e "$xdg" ] || fail "a command-line answer created the game folder"

# --- the game under Xvfb ------------------------------------------------------
# The frames the game draws in its first seconds on the title, from the
# scripted runner with the installed data, to compare the screenshot with
# (several, since the title may blink or move).
mkdir "$work/sim"
cp "$prefix"/share/bramblecourt/* "$work/sim/"
for t in $(seq 500 250 3000); do printf 'wait 250\nsnap title_%s\n' $t; done \
  >"$work/sim/title.script"
(cd "$work/sim" && "$build/bramblecourt-sim" --snap-dir "$work/sim" title.script >/dev/null) ||
  fail "the runner could not draw the title"
[ -f "$work/sim/title_3000.png" ] || fail "the runner wrote no title frames"

find "$dest" -printf '%P %s %T@ %m\n' | LC_ALL=C sort >"$work/tree.before"

cat >"$work/session.sh" <<'INNER'
set -uo pipefail
work=$1 game=$2 probe=$3 out=$4 home=$5 xdg=$6 start=$7
folder=$xdg/bramblecourt
problem() { echo "$*" >"$work/problem"; kill "$pid" 2>/dev/null; exit 1; }
launch() {
  (cd "$start" && exec env HOME="$home" XDG_DATA_HOME="$xdg" "$game" \
     >"$work/$1.out" 2>"$work/$1.err") &
  pid=$!
  win=$(timeout 20 xdotool search --sync --name '^Bramblecourt$' | head -1)
  [ -n "$win" ] || problem "$1: no game window; stderr: $(cat "$work/$1.err")"
}
# Enter: menu; Esc: the quit question; "y": quit, four seconds after the
# menu was entered.
quit() {
  xdotool key --clearmodifiers Return
  sleep 0.5
  xdotool key --clearmodifiers Escape
  sleep 0.3
  xdotool key --clearmodifiers y
  for _ in $(seq 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && problem "$1: the game did not end after Enter, Esc and y"
  status=0
  wait "$pid" || status=$?
  [ $status = 0 ] || problem "$1: exit status $status; stderr: $(cat "$work/$1.err")"
}

# Run 1: a fresh player.
launch fresh
"$probe" on 10 || problem "full screen: the pointer is not confined"
[ -d "$folder" ] || problem "no game folder $folder"
sleep 1
import -window root "$out/installed_title.png"

xdotool key --clearmodifiers alt+Return
"$probe" off 5 || problem "window: the pointer is still confined"
sleep 0.5
size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
[ "$size" = 1024x768 ] || problem "window: geometry $size, not 1024x768"
xdotool key --clearmodifiers alt+Return
"$probe" on 10 || problem "back to full screen: the pointer is not confined"

xmessage -title Intruder "another program" &
other_pid=$!
other=$(timeout 10 xdotool search --sync --name '^Intruder$' | head -1)
[ -n "$other" ] || problem "no second window"
xdotool windowactivate --sync "$other"
"$probe" off 5 || problem "focus elsewhere: the pointer is still confined"
xdotool windowactivate --sync "$win"
"$probe" on 10 || problem "focus back: the pointer is not confined"
# The same by the window manager's Alt+Tab, which must work while the
# pointer is held.
xdotool keydown alt key Tab
sleep 0.3
xdotool keyup alt
"$probe" off 5 || problem "Alt+Tab: the pointer is still confined"
[ "$(xdotool getactivewindow)" != "$win" ] || problem "Alt+Tab did not leave the game"
xdotool keydown alt key Tab
sleep 0.3
xdotool keyup alt
"$probe" on 10 || problem "Alt+Tab back: the pointer is not confined"
[ "$(xdotool getactivewindow)" = "$win" ] || problem "Alt+Tab did not return to the game"
kill "$other_pid"
wait "$other_pid" 2>/dev/null
xdotool windowactivate --sync "$win"
quit fresh

# Run 2: the player's own Grafik.dat comes first. Emptied while the game
# runs, it makes the menu's background fail with a message box.
cp "$(dirname "$game")/../share/bramblecourt/Grafik.dat" "$folder/"
launch own
"$probe" on 10 || problem "own data: the pointer is not confined"
: >"$folder/Grafik.dat"
xdotool key --clearmodifiers Return
for _ in $(seq 100); do
  grep -q "PackFile_Bild_laden" "$work/own.err" && break
  sleep 0.1
done
grep -q "PackFile_Bild_laden" "$work/own.err" ||
  problem "own data: no failed picture load; stderr: $(cat "$work/own.err")"
"$probe" off 5 || problem "message box: the pointer is still confined"
sleep 0.3
xdotool key --clearmodifiers Return # the box's button
xdotool windowactivate --sync "$win" 2>/dev/null
"$probe" on 10 || problem "after the message box: the pointer is not confined"
# Enter on the menu would start a round; Esc and "y" quit from here.
xdotool key --clearmodifiers Escape
sleep 0.3
xdotool key --clearmodifiers y
for _ in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && problem "own data: the game did not end after Esc and y"
wait "$pid" || problem "own data: exit status $?"
exit 0
INNER

status=0
# Mesa's shader cache would write into ~/.cache; that is the driver's doing,
# not the game's, and is kept out of the check below.
MESA_SHADER_CACHE_DISABLE=true "$root/scripts/xvfb-run-wm" bash "$work/session.sh" \
  "$work" "$game" "$build/grab_probe" "$out" "$home" "$xdg" "$start" || status=$?
[ $status = 0 ] || fail "$(cat "$work/problem" 2>/dev/null || echo "session status $status")"

# The screenshot: the game's frame, scaled into the middle of the screen
# with black bars beside it, as the runner draws it.
shot=$out/installed_title.png
read -r sw sh < <(identify -format '%w %h\n' "$shot")
fw=$((sh * 1024 / 768))
[ $fw -le "$sw" ] || fail "the screen ${sw}x$sh is narrower than 4:3"
bar=$(((sw - fw) / 2))
if [ $bar -gt 2 ]; then
  for x in 0 $((sw - bar + 1)); do
    max=$(convert "$shot" -crop "$((bar - 1))x$sh+$x+0" +repage -format '%[fx:maxima]' info:)
    [ "$max" = 0 ] || fail "the bar at x=$x is not black (maximum $max)"
  done
fi
convert "$shot" -crop "${fw}x$sh+$bar+0" +repage -resize '1024x768!' "$work/frame.png"
# Scaling up and back down alone leaves an RMSE of about 0.02; a blinking
# line or a wrong screen gives far more.
best=1
for frame in "$work"/sim/title_*.png; do
  # compare's status says whether the pictures differ at all; the number
  # is what counts here.
  d=$({ compare -metric RMSE "$work/frame.png" "$frame" null: 2>&1 || true; } |
    sed -E 's/.*\((.*)\).*/\1/')
  best=$(awk -v a="$best" -v b="$d" 'BEGIN { print (b < a ? b : a) }')
done
awk -v d="$best" 'BEGIN { exit !(d < 0.06) }' ||
  fail "the title on the screen differs from the game's own frames (RMSE $best)"
echo "title: $shot matches the game's own frame (RMSE $best)"

# Nothing written outside the game folder: the installed tree is as it was,
# the start folder is empty, the home holds only the game folder.
find "$dest" -printf '%P %s %T@ %m\n' | LC_ALL=C sort >"$work/tree.after"
cmp -s "$work/tree.before" "$work/tree.after" ||
  fail "the installed tree changed: $(diff "$work/tree.before" "$work/tree.after")"
[ -z "$(ls -A "$start")" ] || fail "files in the start folder: $(ls -A "$start")"
others=$(cd "$home" && find . -mindepth 1 | grep -v -E '^\./data(/bramblecourt(/.*)?)?$' || true)
[ -z "$others" ] || fail "written outside the game folder: $others"
[ "$(stat -c %a "$folder")" = 700 ] || fail "the game folder is not private"
echo "game folder: $(ls -A "$folder" | tr '\n' ' ')"
echo "ok"
