#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` makes bramblecourt_VERSION_ARCH.deb in
# section games whose dependencies name the shared libraries the programs
# link (found by dpkg-shlibdeps) and a font for the text; it holds exactly
# what `cmake --install` installs, under /usr, with the programs stripped and
# the game and its archive tool in /usr/games, where Debian keeps games.
# It carries a machine-readable copyright file and a Debian changelog of its
# version, and lintian finds nothing in it but what depends on who builds it
# (the maintainer's name and address).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/support/common.sh"
[ -x "$build/bramblecourt" ] || { echo "skipped: $build/bramblecourt has not been built"; exit 77; }
[ -f "$build/CPackConfig.cmake" ] || { echo "skipped: no CPack configuration in $build"; exit 77; }
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog readelf lintian; do
  command -v $tool >/dev/null || fail "$tool is missing (scripts/bootstrap installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/pkg/bramblecourt_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no single package: $(ls "$work/pkg")"
deb=${debs[0]}
version=$("$build/bramblecourt" --version | sed -n '1s/^bramblecourt //p')
[ "$(basename "$deb")" = "bramblecourt_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "package name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = bramblecourt ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
depends=$(field Depends)
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/^ *//; s/ .*//')
for dep in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libmpg123-0 libc6 libstdc++6 fonts-dejavu-core; do
  grep -q -x -F "$dep" <<<"$names" || fail "Depends lacks $dep: $depends"
done
echo "Depends: $depends"

# The same files as an install into a staging folder, but for the programs'
# folder.
DESTDIR=$work/dest cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$work/dest" && find . -type f | sed 's|^\./||' |
  sed 's|^usr/bin/|usr/games/|' | LC_ALL=C sort)
packed=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$packed" ] || fail "package and install differ:
$(diff <(echo "$installed") <(echo "$packed") || true)"

mkdir "$work/x"
dpkg-deb -x "$deb" "$work/x"
for program in bramblecourt bramblecourt-packfile; do
  sections=$(readelf -S "$work/x/usr/games/$program")
  ! grep -q '\.debug_info' <<<"$sections" || fail "$program is not stripped"
done
"$work/x/usr/games/bramblecourt" --version >/dev/null || fail "the packed game does not run"
# From /usr/games it finds its data in /usr/share/bramblecourt: it moves into
# its game folder (and then stops, given no video driver to open a window).
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME SDL_VIDEODRIVER=none HOME="$work/home" \
  "$work/x/usr/games/bramblecourt" >/dev/null 2>"$work/run.err" || status=$?
[ $status = 1 ] || fail "the packed game without video: status $status, not 1"
[ -d "$work/home/.local/share/bramblecourt" ] ||
  fail "the packed game did not take /usr/share/bramblecourt for its data: no game folder"

# --- copyright, changelog, lintian ------------------------------------------
doc=$work/x/usr/share/doc/bramblecourt
head -1 "$doc/copyright" | grep -q -x -F \
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file is not in the machine-readable format"
# Every License of a Files paragraph has its text in a paragraph of its own.
for licence in $(sed -n 's/^License: //p' "$doc/copyright" | tr ' ' '\n' |
  grep -v -x -e and -e or | sort -u); do
  grep -q -x "License: $licence" "$doc/copyright" ||
    fail "the copyright file lacks the text of $licence"
done
zcat "$doc/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's version is not $version"
zcat "$doc/third-party-notices.txt.gz" >"$work/notices"
for name in SDL2 SDL2_ttf FreeType mpg123 DejaVu-fonts; do
  grep -q -x "$name" "$work/notices" || fail "the third-party notices lack $name"
done

# Tags that name the maintainer's address or name, which depend on who
# builds the package (root at this host on a test machine), are allowed;
# so is the size of the generated data in this one package. Anything else
# lintian says, down to its pedantic and experimental tags, is a fault of
# the package.
allowed='bogus-mail-host|bogus-mail-host-in-debian-changelog|root-in-contact'
allowed+='|maintainer-address-[a-z-]+|mail-address-loops-or-bounces|maintainer-name-missing'
allowed+='|malformed-contact|changelog-maintainer-address-[a-z-]+'
allowed+='|arch-dep-package-has-big-usr-share'
# A sanitizer build is instrumented instead of hardened, and keeps its
# routines' names as strings for its reports: those tags say nothing of what
# a release (made from the plain build) ships.
if grep -q '^BRAMBLE_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  allowed+='|hardening-no-[a-z-]+|spelling-error-in-binary'
fi
status=0
lintian --no-cfg --fail-on none --display-info --display-experimental --pedantic "$deb" \
  >"$work/lintian.txt" 2>&1 || status=$?
[ $status = 0 ] || fail "lintian could not check the package: $(cat "$work/lintian.txt")"
sed 's/^/lintian: /' "$work/lintian.txt"
others=$(grep -E '^[A-Z]: ' "$work/lintian.txt" | grep -v -E "^[EWI]: bramblecourt: ($allowed) " ||
  true)
[ -z "$others" ] || fail "lintian: $others"
echo "ok: $(basename "$deb")"
