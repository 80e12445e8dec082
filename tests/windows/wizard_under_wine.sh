#!/usr/bin/env bash
# The wizard of tovrin.exe under Wine on a display, its pages built from the
# templates in memory: a user who presses Enter on every page and on the
# last box applies the sample update, and the program ends with status 0.
# Given --dest, the wizard updates that folder instead of the one the
# registry names, journals its run there, and --undo takes it back.
#   wizard_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 1; }

medium=$(windows_path "$examples/medium")
registry=$(windows_path "$examples/product/uninstall.reg")

# Enter takes each page's default button (開始, 次へ, 更新) and the final
# box's OK; the pages come up one after the other as Wine gets to them.
run_wizard() {
  wine_run "$program" --medium "$medium" --registry "$registry" "$@" &
  local wizard=$! status=0
  for _ in $(seq 60); do
    sleep 2
    kill -0 "$wizard" 2>/dev/null || break
    xdotool key Return
  done
  if kill -0 "$wizard" 2>/dev/null; then
    fail "the wizard did not end"
    kill "$wizard"
  fi
  wait "$wizard" || status=$?
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0"
}

fresh_product
run_wizard
check_sample_update

fresh_product
other=$prefix/drive_c/OTHER
rm -rf "$other"
cp -R "$examples/product/drive_c/VELSOR" "$other"
run_wizard --dest 'C:\OTHER' --report 'C:\wizard.json'
# The copy's settings still name C:\VELSOR\MST for its masters, so only the
# product's own files tell which folder was updated.
cmp -s "$examples/product/drive_c/VELSOR/VELSOR.EXE" "$product/VELSOR.EXE" &&
  [ ! -e "$product/data/TEIGI.DAT" ] || fail "C:\\VELSOR updated though --dest named C:\\OTHER"
cmp -s "$other/data/TEIGI.DAT" "$examples/medium/TEIGI.DAT" || fail "C:\\OTHER not updated"
[ -d "$other/.tovrin/journal/last" ] || fail "the wizard's run left no journal in C:\\OTHER"
"$source_dir/tests/support/report_says.py" "$prefix/drive_c/wizard.json" wizard applied ||
  fail "the wizard's report does not say it applied the update"
wine_run "$program" --undo --dest 'C:\OTHER' --report 'C:\undo.json' >/dev/null ||
  fail "--undo of the wizard's run failed"
"$source_dir/tests/support/report_says.py" "$prefix/drive_c/undo.json" undo applied ||
  fail "the undo's report does not say the product is back"
diff -r -x .tovrin "$examples/product/drive_c/VELSOR" "$other" >/dev/null ||
  fail "--undo did not give back C:\\OTHER as it was"
rm -rf "$other"
finish "wizard under Wine"
