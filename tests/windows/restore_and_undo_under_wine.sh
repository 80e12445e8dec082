#!/usr/bin/env bash
# The journal of tovrin.exe under Wine: a run that fails midway puts the
# product back, --undo takes a successful run back, and a dry run and the
# log work as on Linux (the log's SHA-256 from Windows' BCrypt).
#   restore_and_undo_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX HOLD_FILE_OPEN_EXE
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

registry=$(windows_path "$examples/product/uninstall.reg")
medium=$(windows_path "$examples/medium")

# Runs tovrin.exe; sets `output`, `errors` and `status`.
run() {
  status=0
  output=$(wine_run "$program" "$@" 2>"$prefix/errors.txt") || status=$?
  output=${output//$'\r'/}
  errors=$(cat "$prefix/errors.txt")
}
update() { run --unattended --medium "$medium" --registry "$registry" "$@"; }
# Every file of the product with its time and content, the folders, and
# the read-only files: of the mode bits Windows knows only that one (Wine
# sets the execute bits of an .EXE as it likes).
snapshot() {
  (
    cd "$product"
    find . -name .tovrin -prune -o \( -type f -printf '%p %T@ ' -exec md5sum {} \; \) -o \
      \( -type d -printf '%p/\n' \) | sort
    echo "read-only:"
    find . -name .tovrin -prune -o -type f ! -perm -u=w -print | sort
  )
}
expect_status() {
  [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1"$'\n'"$output"$'\n'"$errors"
}

# A copy refused by a read-only file: every change before it is taken back.
fresh_product
chmod a-w "$product/formater.exe"
before=$(snapshot)
update
expect_status 4 "failed copy"
[ "$(tail -n 1 <<< "$output")" = "確認: 更新前の状態に戻しました。" ] ||
  fail "failed copy printed:"$'\n'"$output"
[ "$(snapshot)" = "$before" ] || fail "the failed run did not put the product back"

# A file held open without sharing by another program, as a running
# product holds its own: it is never replaced, every other change is put
# back, and the box says so. The journal's second name for the held file
# cannot go while it is held; it stands in the way of no later run, and the
# first start after the file is released removes it without a word.
fresh_product
before=$(snapshot)
coproc holder { wine_run "$4" 'C:\VELSOR\formater.exe'; }
holder_pid=$holder_PID
holder_input=${holder[1]}
read -r held <&"${holder[0]}" || held=
[ "${held%$'\r'}" = held ] || fail "formater.exe could not be held open"
held_log=$prefix/drive_c/tovrin-held.log
for try in first second; do
  rm -f "$held_log"
  update --log 'C:\tovrin-held.log'
  expect_status 4 "$try run on a file held open"
  [ "$(tail -n 1 <<< "$output")" = "確認: 更新前の状態に戻しました。" ] ||
    fail "$try run on a held file printed:"$'\n'"$output"
  [ "$(snapshot)" = "$before" ] || fail "the $try run that met a held file did not put the product back"
  grep -qF "journal's leftover in C:\VELSOR\.tovrin\journal\spent could not be removed yet" "$held_log" ||
    fail "the $try held run's log does not name the journal's leftover:"$'\n'"$(cat "$held_log")"
done
exec {holder_input}>&-
wait "$holder_pid" || true
run --undo --dest 'C:\VELSOR'
expect_status 2 "undo once the held file was released"
grep -q "nothing to undo" <<< "$errors" || fail "undo after the held runs said: $errors"
! grep -q "taken back first" <<< "$output" || fail "the leftover was announced as a stopped run"
[ "$(cd "$product/.tovrin" && find . -mindepth 1)" = "./lock" ] ||
  fail "the held runs left in .tovrin:"$'\n'"$(cd "$product/.tovrin" && find . -mindepth 1)"

# A successful run taken back, and nothing left to take back after it.
fresh_product
before=$(snapshot)
update
expect_status 0 "update"
[ "$(snapshot)" != "$before" ] || fail "the update changed nothing"
run --undo --dest 'C:\VELSOR'
expect_status 0 "undo"
[ "$(snapshot)" = "$before" ] || fail "--undo did not give back the old product"
run --undo --dest 'C:\VELSOR'
expect_status 2 "second undo"
grep -q "nothing to undo" <<< "$errors" || fail "second undo said: $errors"

# The dry run touches nothing, not even the bookkeeping folder.
fresh_product
before=$(snapshot)
update --dry-run
expect_status 0 "dry run"
[ "$(snapshot)" = "$before" ] || fail "the dry run touched the product"
[ ! -e "$product/.tovrin" ] || fail "the dry run made the bookkeeping folder"
grep -qF 'C:\VELSOR\data\TEIGI.DAT' <<< "$output" || fail "the dry run listed:"$'\n'"$output"

# The log named on the command line: each file with its size and SHA-256.
fresh_product
rm -f "$prefix/drive_c/tovrin-run.log"
update --log 'C:\tovrin-run.log'
expect_status 0 "update with --log"
log=$prefix/drive_c/tovrin-run.log
size=$(stat -c %s "$product/data/TEIGI.DAT")
hash=$(sha256sum "$product/data/TEIGI.DAT" | cut -d ' ' -f 1)
stamp='[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}[+-][0-9]{4}'
grep -qE "^$stamp file C:\\\\VELSOR\\\\data\\\\TEIGI\\.DAT: .*new $size bytes sha256 $hash\$" "$log" ||
  fail "the log lacks TEIGI.DAT's size and hash:"$'\n'"$(cat "$log" 2>/dev/null)"
grep -qF "result: exit status 0, applied" "$log" || fail "the log lacks the result"

# Without --log, a file of its own under %LOCALAPPDATA%\tovrin\logs.
logs() { find "$prefix/drive_c/users" -path '*/AppData/Local/tovrin/logs/*.log' | wc -l; }
logs_before=$(logs)
fresh_product
update
expect_status 0 "update with the default log"
[ "$(logs)" -gt "$logs_before" ] || [ "$(logs)" -eq 20 ] ||
  fail "no log in %LOCALAPPDATA%\\tovrin\\logs"

finish "restore, undo, dry run and log under Wine"
