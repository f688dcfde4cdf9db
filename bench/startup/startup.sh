#!/bin/sh
# Start-up to the main window mapped, as a whole process under Xvfb: median of N runs, beside
# geany (when installed) measured the same way. Usage: startup.sh BUILD_DIR [RUNS]
set -eu
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$@"
fi
build=$(cd "$1" && pwd); runs=${2:-15}
home=$(mktemp -d); trap 'rm -rf "$home"' EXIT
# A configured program folder, so the first-run wizard stays away and the code view shows.
"$build/bench/qf_prepare_home" "$home"

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
measure() { # title, command...
    title=$1; shift
    : >"$home/times"
    i=0
    while [ $i -lt "$runs" ]; do
        "$build/bench/mapwait" "$title" -- "$@" >>"$home/times" 2>/dev/null || true
        i=$((i+1))
    done
    median <"$home/times"
}

echo "quillforge: $(measure 'Quillforge' "$build/quillforge" --home "$home") ms (median of $runs)"
if command -v geany >/dev/null; then
    mkdir -p "$home/geany"
    echo "geany:      $(measure 'Geany' geany -c "$home/geany" -i) ms (median of $runs)"
fi
