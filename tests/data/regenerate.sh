#!/bin/sh
# regenerate.sh [BUILD_DIR]: rewrites the reference of every golden input below golden/ (the
# suites named "...Golden" in core_tests) from what the code gives today. Run it after a
# deliberate change, then read the difference (git diff) before committing it: the references
# pin behaviour, so a change there is a change of behaviour.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
cmake --build "$build" --target core_tests -j2
QF_UPDATE_GOLDEN=1 "$build/tests/core_tests" --gtest_filter='*Golden.*'
git -C "$here" status --short -- golden
git -C "$here" diff --stat -- golden || true
