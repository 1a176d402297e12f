#!/usr/bin/env bash
# The short soak: scripts/soak plays whole games with random input from a
# fixed seed (BRAMBLE_SOAK_SEED and BRAMBLE_SOAK_PASSES choose others) and
# must visit every screen without a finding; then a shorter run made twice
# from one seed must give the same trace, so that every run can be replayed
# from its seed.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/support/common.sh"
[ -x "$build/bramblecourt-sim" ] || fail "$build/bramblecourt-sim is missing"
for tool in python3 sox lame; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

status=0
"$root/scripts/soak" "$build" --passes "${BRAMBLE_SOAK_PASSES:-12000}" \
  --seed "${BRAMBLE_SOAK_SEED:-1}" --require-every-screen || status=$?
[ $status -ne 77 ] || exit 77
[ $status -eq 0 ] || fail "the soak found something (above)"

digest() {
  "$root/scripts/soak" "$build" --passes 1500 --seed 4711 |
    sed -n 's/.*trace digest \([0-9a-f]*\).*/\1/p'
}
first=$(digest)
second=$(digest)
[ -n "$first" ] || fail "no trace digest"
[ "$first" = "$second" ] || fail "the same seed gave two traces: $first, $second"
echo "replay: ok"
