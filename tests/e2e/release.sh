#!/usr/bin/env bash
# The release's parts that need no build: each target's third-party notices
# hold the components that target uses, with the licence texts a target
# outside Debian must carry, and the LGPL's terms for libmpg123 (a DLL on
# Windows, relinking for the browser); the stored copyright texts are
# Debian's own; scripts/zip-folder gives the same bytes whatever the files'
# times, modes, the umask and the time zone; scripts/release refuses a
# working tree with uncommitted changes, an output folder that is not
# empty and (with --require-all) a missing target before it builds anything.
# (The whole release, built twice and compared, is run by hand: it builds
# everything from scratch.)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
for tool in zip unzip git cmake; do
  command -v $tool >/dev/null || fail "$tool is missing (scripts/bootstrap installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notices=$root/packaging/notices

# --- notices, per target ------------------------------------------------------
# platform | components it must hold | components it must not | texts it must
# carry | texts it must not | a line its introduction must have
cases="linux|SDL2 SDL2_ttf FreeType HarfBuzz mpg123 zlib libpng fontconfig DejaVu-fonts|GCC-runtime MinGW-w64 Emscripten||LGPL-2.1|link the shared libraries below
windows|SDL2 SDL2_ttf FreeType HarfBuzz mpg123 zlib libpng DejaVu-fonts GCC-runtime MinGW-w64|fontconfig Emscripten|LGPL-2.1 GPL-3|MPL-2.0|ships as a DLL of its own
web|SDL2 SDL2_ttf FreeType HarfBuzz mpg123 zlib DejaVu-fonts Emscripten|libpng fontconfig GCC-runtime MinGW-w64|LGPL-2.1 Apache-2.0||relinking goes like this"
version=$(sed -n 's/^project(bramblecourt VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
while IFS='|' read -r platform has lacks texts no_texts line; do
  file=$work/notices-$platform.txt
  cmake -DPLATFORM="$platform" -DOUT="$file" -P "$notices/notices.cmake" >"$work/log" 2>&1 ||
    fail "notices for $platform: $(cat "$work/log")"
  [ "$(head -1 "$file")" = "Third-party software in Bramblecourt $version ($platform)" ] ||
    fail "$platform: heading $(head -1 "$file")"
  for c in $has; do
    grep -q -x "$c" "$file" || fail "$platform: no notice of $c"
    grep -q "^  $c: " "$file" || fail "$platform: $c is not in the list of components"
  done
  for c in $lacks; do
    ! grep -q -x "$c" "$file" || fail "$platform: a notice of $c, which it does not use"
  done
  for t in $texts; do
    grep -q -x "/usr/share/common-licenses/$t" "$file" || fail "$platform: no text of $t"
    cmp -s <(sed -n "\|^/usr/share/common-licenses/$t\$|,\$p" "$file" | sed '1,3d' |
      head -c "$(stat -c %s "$notices/common-licenses/$t")") "$notices/common-licenses/$t" ||
      fail "$platform: the text of $t is not whole"
  done
  for t in $no_texts; do
    ! grep -q -x "/usr/share/common-licenses/$t" "$file" || fail "$platform: a text of $t"
  done
  grep -q -F "$line" "$file" || fail "$platform: the introduction lacks '$line'"
  grep -q "bramblecourt-VERSION" "$file" && fail "$platform: VERSION not filled in"
  echo "notices $platform: $(wc -c <"$file") bytes"
done <<<"$cases"
status=0
cmake -DPLATFORM=amiga -DOUT="$work/x" -P "$notices/notices.cmake" >/dev/null 2>&1 || status=$?
[ $status != 0 ] && [ ! -e "$work/x" ] || fail "notices for an unknown platform did not fail"

"$root/scripts/notices-update" --check >"$work/check.txt" ||
  fail "the stored texts differ from Debian's: $(cat "$work/check.txt")"

# --- zip-folder ----------------------------------------------------------------
make_folder() { # DIR MTIME UMASK
  rm -rf "$1"
  (umask "$3" && mkdir -p "$1/data/sub" && echo page >"$1/index.html" &&
    printf 'a\0b' >"$1/data/b.bin" && echo s >"$1/data/sub/z.txt" &&
    echo run >"$1/start.sh" && chmod +x "$1/start.sh")
  find "$1" -exec touch -d "$2" {} +
}
make_folder "$work/one/site" "2001-02-03 04:05:06" 022
make_folder "$work/two/site" "2030-01-01 12:00:00" 077
TZ=UTC "$root/scripts/zip-folder" "$work/one/site" "$work/one.zip" 1700000000
TZ=Pacific/Auckland "$root/scripts/zip-folder" "$work/two/site" "$work/two.zip" 1700000000
cmp "$work/one.zip" "$work/two.zip" || fail "zip-folder: two zips of the same files differ"
listing=$(unzip -Z -T "$work/one.zip" | grep -E '^[-d]' | awk '{ print $1, $(NF-1), $NF }')
expected="-rw-r--r-- 20231114.221320 site/data/b.bin
-rw-r--r-- 20231114.221320 site/data/sub/z.txt
-rw-r--r-- 20231114.221320 site/index.html
-rwxr-xr-x 20231114.221320 site/start.sh"
[ "$listing" = "$expected" ] || fail "zip-folder: entries
$listing
not
$expected"
status=0
"$root/scripts/zip-folder" "$work/one/site" "$work/one.zip" 1700000000 2>/dev/null || status=$?
[ $status = 1 ] || fail "zip-folder overwrote an existing zip (status $status)"
echo "zip-folder: the same bytes from other times, modes, umask and time zone"

# --- scripts/release refuses before it builds ----------------------------------
if ! git -C "$root" rev-parse --verify -q HEAD >/dev/null 2>&1; then
  echo "skipped: $root is not a git checkout"
  exit 77
fi
git clone -q "$root" "$work/clone"
git -C "$work/clone" checkout -q --detach "$(git -C "$root" rev-parse HEAD)"
# The script as it is in this tree, committed or not.
cp "$root/scripts/release" "$work/clone/scripts/release"
git -C "$work/clone" update-index -q --assume-unchanged scripts/release 2>/dev/null || true
echo "# changed" >>"$work/clone/README.md"
status=0
"$work/clone/scripts/release" "$work/out1" >"$work/r.out" 2>"$work/r.err" || status=$?
[ $status = 1 ] && grep -q "tracked files differ from HEAD" "$work/r.err" ||
  fail "release with a changed file: status $status, $(cat "$work/r.err")"
[ ! -e "$work/out1" ] || fail "release with a changed file made $work/out1"
git -C "$work/clone" checkout -q -- README.md
mkdir "$work/out2"
touch "$work/out2/old.deb"
status=0
"$work/clone/scripts/release" "$work/out2" >"$work/r.out" 2>"$work/r.err" || status=$?
[ $status = 1 ] && grep -q "is not empty" "$work/r.err" ||
  fail "release into a full folder: status $status, $(cat "$work/r.err")"
[ "$(ls "$work/out2")" = old.deb ] || fail "release changed the full folder"
if [ ! -e "$work/clone/scripts/windows" ] || [ ! -e "$work/clone/scripts/web" ]; then
  status=0
  "$work/clone/scripts/release" --require-all "$work/out3" >"$work/r.out" 2>"$work/r.err" ||
    status=$?
  [ $status = 1 ] && grep -q -- "--require-all, but: .*has no scripts/" "$work/r.err" ||
    fail "release --require-all without a target's script: status $status, $(cat "$work/r.err")"
  [ ! -e "$work/out3" ] || fail "release --require-all made $work/out3"
fi
echo "release: refuses a changed tree, a full output folder and a missing target with --require-all"
echo "ok"
