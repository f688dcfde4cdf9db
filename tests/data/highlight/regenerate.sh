#!/bin/sh
# regenerate.sh [BUILD_DIR]: rewrites sample.pl.spans from sample.pl and the shipped
# data/etc/editorcolors.def. Run it after a deliberate change of the painter or of the shipped
# definitions, then read the difference (git diff) before committing it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../../build}
cmake --build "$build" --target core_tests -j2
QF_UPDATE_GOLDEN=1 "$build/tests/core_tests" --gtest_filter='PainterGolden.*'
git -C "$here" diff --stat -- sample.pl.spans || true
