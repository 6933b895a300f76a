#!/usr/bin/env bash
# Wall time and peak memory of a whole trawler-cli search of 20 simulated sites with
# 100 hits each, none shared with another site (2,000 results).
#   bench/cli_search.sh [BUILD_DIR]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
CLI="$BUILD_DIR/src/trawler-cli"
SIM="$BUILD_DIR/src/trawler-sitesim"
[ -x "$CLI" ] && [ -x "$SIM" ] || { echo "build first: $CLI or $SIM is missing" >&2; exit 1; }
work=$(mktemp -d)
"$SIM" --sites 20 --total 100 --overlap 0 --write-sites "$work/sites" > "$work/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/sites/sitesim.sdf" ] && break; sleep 0.1; done
for run in 1 2 3; do
  /usr/bin/time -f "run $run: %e s wall, %M KB peak" \
    "$CLI" --profile "$work/profile" --sites "$work/sites" search benchmark words \
      --max-per-engine 100 --max-total 0 --max-kb-per-engine 0 --max-kb-total 0 --quiet --format json -o "$work/out.json"
  printf '       %s results\n' "$(grep -o '"other_urls"' "$work/out.json" | wc -l)"
done
