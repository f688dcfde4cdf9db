#!/bin/sh
# End to end: the real binary under Xvfb. A first start shows the wizard; leaving it writes the
# machine identity; the main window then maps with the script named on the command line, and
# the program ends on a close request with nothing unsaved.
set -eu
bin=$1
# The real binary on the X server, whatever the caller set for widget tests.
export QT_QPA_PLATFORM=xcb
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$@"
home=$(mktemp -d); pid=""; trap 'kill $pid 2>/dev/null || true; rm -rf "$home"' EXIT
printf 'print "hello\\n";\n' >"$home/hello.pl"

fail() { echo "FAIL: $*"; exit 1; }
wait_window() { # name, seconds
    i=0
    while ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do
        i=$((i+1)); [ $i -gt $(($2*10)) ] && return 1; sleep 0.1
    done
}

"$bin" --home "$home" "$home/hello.pl" >"$home/log" 2>&1 & pid=$!
wait_window '^Welcome$' 20 || fail "no wizard on a first start"
[ -f "$home/etc/quillforge.cfg" ] && grep -q HD_ID "$home/etc/quillforge.cfg" && fail "HD_ID written before the wizard closed"
w=$(xdotool search --onlyvisible --name '^Welcome$' | head -1)
xdotool windowfocus --sync "$w" key alt+c
wait_window '^Quillforge$' 20 || fail "no leaving question"
q=$(xdotool search --onlyvisible --name '^Quillforge$' | head -1)
xdotool windowfocus --sync "$q" key Return   # "Really quit this dialog without saving?" -> Yes
wait_window 'Ostravine Quillforge' 20 || fail "no main window after the wizard"
grep -q '^HD_ID=....-....$' "$home/etc/quillforge.cfg" || fail "HD_ID not written"
grep -q '^Welcome=0$' "$home/etc/quillforge.cfg" || fail "Welcome not written"
i=0; until grep -q 'LastOpened=.*hello.pl' "$home/etc/quillforge.cfg"; do
    i=$((i+1)); [ $i -gt 50 ] && fail "command-line script not opened"; sleep 0.1
done
[ -d "$home/lib" ] && [ -d "$home/doc" ] || fail "shipped lib/ and doc/ not copied"
w=$(xdotool search --onlyvisible --name 'Ostravine Quillforge' | head -1)
xdotool windowfocus --sync "$w" key alt+F4
i=0; while kill -0 $pid 2>/dev/null; do i=$((i+1)); [ $i -gt 100 ] && fail "program did not end"; sleep 0.1; done
echo "PASS: first start, wizard, main window, command-line script, close"
