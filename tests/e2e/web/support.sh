# Sourced by scripts/test-web and scripts/release-check: the page's test
# tools, and a static web server for a folder.

# Prints the folder of node_modules of tests/e2e/web (puppeteer-core, pinned
# in package-lock.json), installing it with `npm ci` into the cache outside
# the tree when the pins have changed.
web_modules() {
  local here cache modules
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  cache=${BRAMBLE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/bramblecourt}
  modules=$cache/web/npm-$(cat "$here/package.json" "$here/package-lock.json" | sha256sum | cut -c1-16)
  if [ ! -e "$modules/.done" ]; then
    rm -rf "$modules"
    mkdir -p "$modules"
    cp "$here/package.json" "$here/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --ignore-scripts --no-audit --no-fund >&2) || return 1
    touch "$modules/.done"
  fi
  echo "$modules/node_modules"
}

# Serves FOLDER on a free port of 127.0.0.1 as any static server would,
# logging to LOG; sets web_url and web_server (the server's pid) once the
# server answers. The caller stops it (kill "$web_server").
web_serve() {
  local folder=$1 log=$2 port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 -m http.server "$port" --bind 127.0.0.1 --directory "$folder" >"$log" 2>&1 &
  web_server=$!
  web_url=http://127.0.0.1:$port/
  for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('$web_url')" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "web_serve: the server on $web_url does not answer: $(cat "$log")" >&2
  return 1
}
