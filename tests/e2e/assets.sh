#!/usr/bin/env bash
# The generated data as the archive tool sees it, and the pictures a person
# should look at: the contact sheet, the sprites on the skies and the marked
# landscape in test-output.
set -euo pipefail
build=$1
data="$build/data"
fail() { echo "assets.sh: $*" >&2; exit 1; }

for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
  [ -s "$data/$f" ] || fail "$data/$f was not generated"
done
"$build/packfile" check "$data/Grafik.dat" --key QK7RM2D9TXB4HP1Z --pictures 39 \
  || fail "Grafik.dat does not pass the check"
"$build/packfile" check "$data/Sound.dat" --key N2HV8C6WLA9E5JR3 --sounds 22 \
  || fail "Sound.dat does not pass the check"
# The wrong key is noticed: the check really looks at the key.
if "$build/packfile" check "$data/Grafik.dat" --key N2HV8C6WLA9E5JR3 --pictures 39 2>/dev/null; then
  fail "Grafik.dat passed with the sound archive's key"
fi

# Pictures for people: all entries on one sheet, every sprite on every sky and
# the landscape with its horizon marked (the screens come from the runner).
"$build/assets" --contact-sheet assets_contact_sheet.png --preview assets_preview >/dev/null \
  || fail "the contact sheet or the previews could not be drawn"
[ -s assets_contact_sheet.png ] || fail "no contact sheet"
for shot in sprites_on_skies landscape_marked_0 landscape_marked_1; do
  [ -s "assets_preview/$shot.png" ] || fail "no preview $shot.png"
done
echo "assets.sh: ok"
