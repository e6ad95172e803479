#!/usr/bin/env bash
# Builds Vantor Scrivlet with warnings as errors and runs every test, then builds again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test once more; last,
# installs into a temporary prefix and validates what is installed, and builds, installs and
# starts the Debian package (scripts/package-check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev --parallel 2

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan --parallel 2

bash scripts/package-check.sh
