#!/usr/bin/env bash
# The sample update applied by tovrin.exe under Wine, checked as the Linux
# program's run is checked: its output, its exit status and the files it
# changed. The product lies at C:\VELSOR of the tests' Wine prefix; the
# second run finds it through the registry's 32-bit view instead of a .reg
# file.
#   sample_update_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

# Runs the update; sets `output` and `status`.
update() {
  status=0
  output=$(wine_run "$program" --unattended --medium "$(windows_path "$examples/medium")" "$@") ||
    status=$?
  output=${output//$'\r'/}
}
expect_output() {
  local expected=$1
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0"
  [ "$output" = "$expected" ] || fail "output was:"$'\n'"$output"$'\n'"expected:"$'\n'"$expected"
}

expected_output=$'更新先：C:\\VELSOR\n確認: システムは正常に更新されました。'

fresh_product
update --registry "$(windows_path "$examples/product/uninstall.reg")"
expect_output "$expected_output"

check_sample_update

# The install folder from the registry itself: the sample's key, imported
# into the 32-bit view as a version 5 (UTF-16) file.
fresh_product
registry_file=$prefix/drive_c/tovrin-uninstall.reg
{
  printf '\xff\xfe'
  utf8 "$examples/product/uninstall.reg" |
    sed 's/^REGEDIT4\r\?$/Windows Registry Editor Version 5.00\r/' | iconv -f UTF-8 -t UTF-16LE
} > "$registry_file"
wine_run reg import 'C:\tovrin-uninstall.reg' /reg:32 > /dev/null 2>&1 || fail "reg import failed"
update
expect_output "$expected_output"

finish "sample update under Wine"
