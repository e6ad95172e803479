#!/bin/bash
# Copies the System RPL sources of fetched public repositories into a folder of its own, outside
# the repository, and writes the manifest that scripts/usage_prior.py and scripts/pair_prior.py
# read.
#
# usage: survey_sources.sh OUT HELD_OUT_REPOS MIRROR...
#
# Each MIRROR is a bare git directory or a work tree of one repository, named OWNER+NAME (the
# folder, or the folder above a .git or repo folder). Every file of its newest commit whose name
# ends in .s .txt .rpl .asm .a or .h and that holds the word :: is copied to
# OUT/src/OWNER+NAME/PATH. OUT/manifest.tsv lists them (repo path commit local bytes split):
# split is "heldout" for the repositories named in HELD_OUT_REPOS (comma-separated OWNER/NAME),
# "duplicate" for a file whose bytes an earlier file of the survey already has, else "survey".
# A repository is always on one side only.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: survey_sources.sh OUT HELD_OUT_REPOS MIRROR..." >&2; exit 2; }
out=$1 heldout=",$2," && shift 2
mkdir -p "$out/src"
manifest=$out/manifest.tsv
printf 'repo\tpath\tcommit\tlocal\tbytes\tsplit\n' > "$manifest"
declare -A seen
for mirror in "$@"; do
  git=$mirror; [ -d "$mirror/.git" ] && git=$mirror/.git
  name=$(basename "$mirror"); case $name in repo|.git) name=$(basename "$(dirname "$mirror")");; esac
  repo=${name/+//}
  commit=$(git --git-dir="$git" rev-parse HEAD)
  while IFS= read -r path; do
    local_path="src/$name/$path"
    mkdir -p "$(dirname "$out/$local_path")"
    git --git-dir="$git" show "HEAD:$path" > "$out/$local_path"
    if ! grep -qE '(^|[[:space:]])::([[:space:]]|$)' "$out/$local_path"; then
      rm -f "$out/$local_path"; continue
    fi
    split=survey
    if [[ $heldout == *",$repo,"* ]]; then split=heldout
    else
      sum=$(sha256sum < "$out/$local_path" | cut -d' ' -f1)
      [ -n "${seen[$sum]:-}" ] && split=duplicate
      seen[$sum]=1
    fi
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$repo" "$path" "$commit" "$local_path" \
      "$(stat -c %s "$out/$local_path")" "$split" >> "$manifest"
  done < <(git --git-dir="$git" ls-tree -r --name-only HEAD | grep -E '\.(s|txt|rpl|asm|a|h)$' || true)
done
