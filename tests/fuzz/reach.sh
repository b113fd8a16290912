#!/usr/bin/env bash
# reach.sh TARGET FLOOR SEEDS... [-- OPTIONS...]: runs the fuzz target once over its seeds and
# fails unless the coverage it reaches is at least FLOOR edges, so that a harness that no
# longer feeds the code it is for (a write that fails, an input dropped early) is caught.
set -euo pipefail
target=$1
floor=$2
shift 2
seeds=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do seeds+=("$1"); shift; done
[ $# -gt 0 ] && shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The first folder takes what the run adds: a scratch one, so the seeds stay as they are.
out=$("$target" -runs=0 "$@" "$scratch" "${seeds[@]}" 2>&1) || { echo "$out" | tail -20; exit 1; }
cov=$(echo "$out" | sed -n 's/.*INITED cov: \([0-9]*\).*/\1/p' | tail -1)
[ -n "$cov" ] || { echo "no coverage reported:"; echo "$out" | tail -20; exit 1; }
echo "coverage on the seeds: $cov edges (floor $floor)"
[ "$cov" -ge "$floor" ]
