#!/usr/bin/env bash
# The Linux wizard on a display, driven as a user who presses Enter on every
# page and on the last box: given --dest, it updates that folder instead of
# the one the registry names, journals its run there, and --undo takes the
# run back.
#   wizard_on_display.sh SOURCE_DIR TOVRIN
set -euo pipefail

examples=$1/examples
program=$2
[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 1; }

work=$(mktemp -d)
manager=
cleanup() {
  [ -z "$manager" ] || kill "$manager" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The pages take the keyboard once a window manager gives them focus.
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
  openbox &
  manager=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
fi

mkdir -p "$work/c"
cp -R "$examples/product/drive_c/VELSOR" "$work/c/VELSOR"
cp -R "$examples/product/drive_c/VELSOR" "$work/c/OTHER"
drives=(--drive "C=$work/c" --registry "$examples/product/uninstall.reg")

"$program" --medium "$examples/medium" "${drives[@]}" --dest 'C:\OTHER' --log "$work/run.log" \
  --report "$work/wizard.json" &
wizard=$!
for _ in $(seq 60); do
  sleep 1
  kill -0 "$wizard" 2>/dev/null || break
  xdotool key Return
done
if kill -0 "$wizard" 2>/dev/null; then
  fail "the wizard did not end"
  kill "$wizard"
fi
status=0
wait "$wizard" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"

# The copy's settings still name C:\VELSOR\MST for its masters, so only the
# product's own files tell which folder was updated.
cmp -s "$examples/product/drive_c/VELSOR/VELSOR.EXE" "$work/c/VELSOR/VELSOR.EXE" &&
  [ ! -e "$work/c/VELSOR/data/TEIGI.DAT" ] || fail "C:\\VELSOR updated though --dest named C:\\OTHER"
cmp -s "$work/c/OTHER/data/TEIGI.DAT" "$examples/medium/TEIGI.DAT" || fail "C:\\OTHER not updated"
[ -d "$work/c/OTHER/.tovrin/journal/last" ] || fail "the wizard's run left no journal in C:\\OTHER"
grep -qF "result: exit status 0, applied" "$work/run.log" || fail "the log lacks the result"
"$(dirname "$0")/../support/report_says.py" "$work/wizard.json" wizard applied ||
  fail "the wizard's report does not say it applied the update"
"$program" "${drives[@]}" --medium "$examples/medium" --undo --dest 'C:\OTHER' \
  --report "$work/undo.json" >/dev/null || fail "--undo of the wizard's run failed"
"$(dirname "$0")/../support/report_says.py" "$work/undo.json" undo applied ||
  fail "the undo's report does not say the product is back"
diff -r -x .tovrin "$examples/product/drive_c/VELSOR" "$work/c/OTHER" >/dev/null ||
  fail "--undo did not give back C:\\OTHER as it was"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "wizard on a display: every check passed"
