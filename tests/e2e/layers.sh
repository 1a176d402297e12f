#!/usr/bin/env bash
# The layers of the game hold: only src/platform/ sees third-party headers
# (checked by compiling with the game library's own flags, and by a look at
# every include), and the lower layers use nothing of the upper ones.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
cd "$root"

cmake --build "$build" --target layering_control >"$build/layering_control.log" 2>&1 ||
  fail "a game source with the game's own headers does not compile: $(tail -20 "$build/layering_control.log")"
if cmake --build "$build" --target layering_sdl_probe >"$build/layering_probe.log" 2>&1; then
  fail "a game source that includes SDL.h compiles: the game sees SDL's headers"
fi
grep -q "SDL.h" "$build/layering_probe.log" ||
  fail "the SDL probe failed, but not for want of SDL.h: $(tail -20 "$build/layering_probe.log")"
echo "SDL.h: not visible to game code"

third_party='#include <(SDL|mpg123|fontconfig|ft2build|zlib|png)'
hits=$(grep -rnE "$third_party" src --include='*.cpp' --include='*.h' | grep -v '^src/platform/' || true)
[ -z "$hits" ] || fail "third-party headers outside src/platform/: $hits"

# The layers from the bottom up, each with its rank: a file of a layer may
# include its own layer and layers of a lower rank, nothing else. Layers of
# the same rank (text and audio) do not include each other.
declare -A rank=([platform]=0 [core]=1 [gfx]=2 [pack]=3 [text]=4 [audio]=4 [score]=5
  [game]=6 [screens]=7 [app]=8)

# layer_violations TREE: one line for each include in TREE/<layer>/ of a
# layer that it must not use.
layer_violations() {
  local tree=$1 layer other
  for layer in "${!rank[@]}"; do
    [ -d "$tree/$layer" ] || continue
    for other in "${!rank[@]}"; do
      [ "$other" = "$layer" ] && continue
      [ "${rank[$other]}" -lt "${rank[$layer]}" ] && continue
      grep -rnE "#include \"$other/" "$tree/$layer" || true
    done
  done
}

hits=$(layer_violations src)
[ -z "$hits" ] || fail "includes against the order of the layers: $hits"

# The check itself: a probe that includes each layer of the same or a higher
# rank from each other layer must be caught, every pair of the order.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
pairs=0
for layer in "${!rank[@]}"; do
  for other in "${!rank[@]}"; do
    [ "$other" = "$layer" ] && continue
    [ "${rank[$other]}" -lt "${rank[$layer]}" ] && continue
    rm -rf "${probe:?}"/*
    mkdir -p "$probe/$layer"
    echo "#include \"$other/probe.h\"" >"$probe/$layer/probe.cpp"
    [ -n "$(layer_violations "$probe")" ] ||
      fail "a probe include of $other from $layer passes the check"
    pairs=$((pairs + 1))
  done
done
echo "layers: ok ($pairs forbidden pairs probed)"

# Only the platform layer calls the operating system.
os_calls='#include <(unistd|dirent|fcntl|pwd|windows|sys/[a-z_]+)\.h>'
hits=$(grep -rnE "$os_calls" src --include='*.cpp' --include='*.h' | grep -v '^src/platform/' || true)
[ -z "$hits" ] || fail "system headers outside src/platform/: $hits"

# The game's simulation draws nothing.
hits=$(grep -rnE 'DDraw_(Blitten|Bild_blitten|Puffer_|Sprite_blitten)|BitmapText_.*ausgeben|lpDDSBack' src/game || true)
[ -z "$hits" ] || fail "src/game/ draws: $hits"
echo "system calls and drawing: where they belong"
