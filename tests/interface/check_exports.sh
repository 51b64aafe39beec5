#!/usr/bin/env bash
# check_exports.sh LIBRARY DEF -- the shared library defines exactly the names the
# module-definition file exports, no more and no fewer.
set -euo pipefail
library=$1
def=$2
want=$(awk '/^[[:space:]]+[A-Za-z0-9_]+_XL[[:space:]]+@[0-9]+/ {print $1}' "$def" | sort)
have=$(nm -D --defined-only "$library" | awk '{print $NF}' | sed 's/@.*//' | sort)
if [ "$want" != "$have" ]; then
  echo "exported symbols differ from $def"
  diff <(echo "$want") <(echo "$have") || true
  exit 1
fi
echo "exports match: $(echo "$have" | wc -l) names"
