#!/usr/bin/env bash
# Builds Vantor Scrivlet and starts it in ./run, which holds the entry database.
# The shipped database is copied there only when none exists: usage counts live in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
mkdir -p run
if [ ! -e run/entries97.mdb ]; then
  cp build/release/data/entries97.mdb run/entries97.mdb
fi
cd run
exec ../build/release/app/vantor-scrivlet "$@"
