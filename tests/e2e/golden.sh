#!/usr/bin/env bash
# The golden traces of tests/golden/: whole runs compared whole (scripts/golden).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../../scripts/golden" "$1"
