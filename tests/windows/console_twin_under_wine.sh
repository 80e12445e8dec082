#!/usr/bin/env bash
# tovrin.exe is a GUI program (no console window opens beside the wizard)
# and tovrin.com beside it its console twin, which a command prompt prefers
# for a typed `tovrin`. Both write to the standard output and error they
# are given and keep the exit statuses of the Linux program.
#   console_twin_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

twin=${program%.exe}.com
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | awk '$1 == "Subsystem" { print $2 }'; }
[ "$(subsystem "$program")" = 00000002 ] || fail "tovrin.exe is not a GUI program"
[ "$(subsystem "$twin")" = 00000003 ] || fail "tovrin.com is not a console program"

for each in "$program" "$twin"; do
  name=$(basename "$each")
  version=$(wine_run "$each" --version)
  [[ "$version" == "tovrin "[0-9]* ]] || fail "$name --version printed: $version"
  status=0
  errors=$(wine_run "$each" --no-such-option 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 64 ] || fail "$name: exit status $status for a bad option, expected 64"
  [[ "$errors" == *"--no-such-option"* ]] || fail "$name: the bad option was not named: $errors"
  # --undo with nothing to undo says so on standard error.
  fresh_product
  errors=$(wine_run "$each" --undo --dest 'C:\VELSOR' --medium "$(windows_path "$examples/medium")" 2>&1 >/dev/null) ||
    true
  [[ "$errors" == *"nothing to undo"* ]] || fail "$name --undo said: $errors"
done
finish "the GUI program and its console twin under Wine"
