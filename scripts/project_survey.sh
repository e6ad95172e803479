#!/bin/bash
# Builds every project (.hpp) under a folder and compares what it builds with the file the
# project's author shipped (FilePath=): identical, which parts differ, or why it does not build.
# usage: scripts/project_survey.sh PROGRAM DATABASE FOLDER
set -u
program=$1 database=$2 folder=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
identical=0 differ=0 failed=0
while IFS= read -r -d '' project; do
    dir=$(dirname "$project")
    shipped=$(grep -a '^FilePath=' "$project" | tr -d '\r' | sed 's/^FilePath=//')
    [ -n "$shipped" ] && [ -f "$dir/$shipped" ] || continue
    rm -rf "$work"/*
    if ! message=$("$program" --build "$project" -o "$work/built.hp" --database "$database" 2>&1 >/dev/null); then
        failed=$((failed + 1))
        echo "FAILS      $project: $(echo "$message" | head -1)"
    elif cmp -s "$work/built.hp" "$dir/$shipped"; then
        identical=$((identical + 1))
        echo "IDENTICAL  $project"
    else
        differ=$((differ + 1))
        if grep -aq '^library=1' "$project"; then
            "$program" --decompile "$dir/$shipped" -o "$work/a" --database "$database" >/dev/null 2>&1
            "$program" --decompile "$work/built.hp" -o "$work/b" --database "$database" >/dev/null 2>&1
            parts=$(diff -rq "$work/a" "$work/b" 2>/dev/null | grep -v '\.hpp' | sed 's/.*\/\([^/]*\) differ$/\1/' | tr '\n' ' ')
        else
            "$program" --decompile "$dir/$shipped" -o "$work/a.txt" --database "$database" >/dev/null 2>&1
            "$program" --decompile "$work/built.hp" -o "$work/b.txt" --database "$database" >/dev/null 2>&1
            parts=$(diff "$work/a.txt" "$work/b.txt" | grep '^[<>]' | head -2 | cut -c1-150 | tr '\n' ' ')
        fi
        echo "DIFFERS    $project: ${parts:-the tables or the CRC}"
    fi
done < <(find "$folder" -name '*.hpp' -print0 | sort -z)
echo "identical $identical, different $differ, not built $failed"
