# Shared by the end-to-end scripts (sourced, not run as a test).

fail() { echo "FAIL: $*" >&2; exit 1; }

# game_data DIR BUILD: puts the seven required files into DIR: the default
# data from BUILD/data when it has been generated, otherwise the minimal
# placeholders that bramblecourt-testdata writes.
game_data() {
  local dir=$1 build=$2 f have=1
  for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
    [ -f "$build/data/$f" ] || have=0
  done
  if [ $have = 1 ]; then
    for f in Grafik.dat Sound.dat start.wav main.wav win.wav lose.wav credits.wav; do
      cp "$build/data/$f" "$dir/"
    done
    echo "using the default data of $build/data"
  else
    "$build/bramblecourt-testdata" "$dir" || fail "cannot write placeholder data"
    echo "using placeholder data"
  fi
}

# Field of a trace line: field LINE NAME (numbers and plain strings only).
field() {
  sed -E "s/.*\"$2\":(\"([^\"]*)\"|(-?[0-9]+|null)).*/\2\3/" <<<"$1"
}

# The trace lines of one event.
events() { grep "\"ev\":\"$2\"" "$1" || true; }

# Every failing routine of the finished game reports its own message before
# the start-up's final box; a final box alone means the start-up reached a
# subsystem that is still a placeholder. Then there is nothing to test yet.
skip_at_placeholder() {
  local first
  first=$(events "$1" box | head -1)
  if [ -n "$first" ] && [[ $(field "$first" caption) == "Error Nr.:"* ]]; then
    echo "skipped: start-up stopped at $(field "$first" caption) without a message of its own;"
    echo "skipped: that subsystem is still a placeholder"
    exit 77
  fi
}

# The real game of the build (the path is printed); skips the test (77) when
# it has not been built, as in a build without SDL's video.
real_game() {
  if [ ! -x "$1/bramblecourt" ]; then
    echo "skipped: $1/bramblecourt has not been built yet" >&2
    exit 77
  fi
  echo "$1/bramblecourt"
}
