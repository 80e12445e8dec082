#!/usr/bin/env bash
# The wizard of tovrin.exe under Wine on a display, its pages built from the
# templates in memory: a user who presses Enter on every page and on the
# last box applies the sample update, and the program ends with status 0.
#   wizard_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

[ -n "${DISPLAY:-}" ] || { echo "no display: run under xvfb-run"; exit 1; }

fresh_product
wine_run "$program" --medium "$(windows_path "$examples/medium")" \
  --registry "$(windows_path "$examples/product/uninstall.reg")" &
wizard=$!
# Enter takes each page's default button (開始, 次へ, 更新) and the final
# box's OK; the pages come up one after the other as Wine gets to them.
for _ in $(seq 60); do
  sleep 2
  kill -0 "$wizard" 2>/dev/null || break
  xdotool key Return
done
status=0
if kill -0 "$wizard" 2>/dev/null; then
  fail "the wizard did not end"
  kill "$wizard"
fi
wait "$wizard" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
check_sample_update
finish "wizard under Wine"
