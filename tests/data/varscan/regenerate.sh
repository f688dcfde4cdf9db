#!/bin/sh
# regenerate.sh [BUILD_DIR]: rewrites every *.pm.entries from its *.pm. Run it after a
# deliberate change of the inspector's rules, then read the difference (git diff) before
# committing it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../../build}
cmake --build "$build" --target core_tests -j2
QF_UPDATE_GOLDEN=1 "$build/tests/core_tests" --gtest_filter='InspectorScanGolden.*'
git -C "$here" diff --stat -- . || true
