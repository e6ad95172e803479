#!/bin/bash
# Measures what the proposals save on the held-out sources of a survey (see
# scripts/survey_sources.sh): day one on the shipped database, and after --learn of the user's
# other files, where each held-out file is measured on a copy of the database that has learned
# the other held-out files of its repository (the same author's other sources).
#
# usage: measure_heldout.sh PROGRAM DATABASE SURVEY_OUT [MEASURE OPTION...]
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: measure_heldout.sh PROGRAM DATABASE SURVEY_OUT [OPTION...]" >&2; exit 2; }
program=$(realpath "$1") database=$(realpath "$2") out=$3 && shift 3
mapfile -t repos < <(awk -F'\t' 'NR > 1 && $6 == "heldout" { print $4 }' "$out/manifest.tsv" |
                     cut -d/ -f2 | sort -u)
cd "$out/src"
mapfile -t all < <(awk -F'\t' 'NR > 1 && $6 == "heldout" { print $4 }' "$out/manifest.tsv" |
                   cut -d/ -f2-)
echo "day one:       $("$program" --measure-savings "${all[@]}" --database "$database" "$@")"
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
names=0 chars=0 keys=0
for repo in "${repos[@]}"; do
  mapfile -t files < <(awk -F'\t' -v r="$repo" 'NR > 1 && $6 == "heldout" { print $4 }' \
                       "$out/manifest.tsv" | awk -F/ -v r="$repo" '$2 == r' | cut -d/ -f2-)
  for file in "${files[@]}"; do
    cp "$database" "$tmp/entries97.mdb"
    others=(); for other in "${files[@]}"; do [ "$other" = "$file" ] || others+=("$other"); done
    [ ${#others[@]} -eq 0 ] ||
      "$program" --learn "${others[@]}" --database "$tmp/entries97.mdb" > /dev/null
    line=$("$program" --measure-savings "$file" --database "$tmp/entries97.mdb" "$@")
    read -r n c k <<< "$(sed -E 's/names=([0-9]+) chars=([0-9]+) keystrokes=([0-9]+).*/\1 \2 \3/' <<< "$line")"
    names=$((names + n)) chars=$((chars + c)) keys=$((keys + k))
  done
done
awk -v n=$names -v c=$chars -v k=$keys -v o="${line##* }" \
  'BEGIN { printf "after --learn: names=%d chars=%d keystrokes=%d saved=%.1f%% %s\n", n, c, k, 100 * (c - k) / c, o }'
