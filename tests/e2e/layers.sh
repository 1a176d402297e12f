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

# Each layer and the layers it must not include.
check() {
  local dir=$1 pattern=$2 hits
  hits=$(grep -rnE "#include \"($pattern)/" "src/$dir" || true)
  [ -z "$hits" ] || fail "src/$dir includes what lies above it: $hits"
}
check platform 'core|app|game|gfx|pack|text|screens|audio|score'
check core 'app|game|gfx|pack|text|screens|audio|score'
for lower in gfx pack text audio; do
  check $lower 'app|game|screens|score'
done
check pack 'audio|text'
check gfx 'pack|text|audio'
echo "layers: ok"
