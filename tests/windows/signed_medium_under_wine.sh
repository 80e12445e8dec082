#!/usr/bin/env bash
# Signed media with tovrin.exe under Wine: keys made and media signed with
# Debian's minisign and sha256sum, each refusal before anything is touched
# (exit 2, the product unchanged, the box naming the file), a medium the
# keys vouch for applied, an unsigned one without keys applied as before.
#   signed_medium_under_wine.sh SOURCE_DIR TOVRIN_EXE WINE_PREFIX
set -euo pipefail

# shellcheck source=tests/windows/sample_update_support.sh
source "$(dirname "$0")/sample_update_support.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/tovrin-signed.XXXXXX")
trap 'rm -rf "$work"' EXIT
medium=$work/medium
minisign -G -W -p "$work/vendor.pub" -s "$work/vendor.key" </dev/null >/dev/null
minisign -G -W -p "$work/stranger.pub" -s "$work/stranger.key" </dev/null >/dev/null

fresh_medium() {
  rm -rf "$medium"
  cp -R "$examples/medium" "$medium"
  (cd "$medium" && rm -f SHA256SUMS SHA256SUMS.minisig && sha256sum * > "$work/sums" &&
    mv "$work/sums" SHA256SUMS)
}
sign() { minisign -S -s "$work/$1.key" -m "$medium/SHA256SUMS" </dev/null >/dev/null; }
snapshot() { (cd "$product" && find . -name .tovrin -prune -o -type f -print0 | sort -z | xargs -0 sha256sum); }
update() {
  status=0
  output=$(wine_run "$program" --unattended --medium "$(windows_path "$medium")" \
    --registry "$(windows_path "$examples/product/uninstall.reg")" "$@") || status=$?
  output=${output//$'\r'/}
}

# Each case: a name, what is done to the signed copy, the file the box names, its words.
changed_archive() { sign vendor; printf '\x7f' | dd of="$medium/HELP.lzh" bs=1 seek=40 conv=notrunc status=none; }
not_listed() { sed -i '/FORMATER.EXE/d' "$medium/SHA256SUMS"; sign vendor; }
listed_missing() { sign vendor; rm "$medium/DEST.BMP"; }
climbing_line() { printf '%064d  ..\\x\n' 0 >> "$medium/SHA256SUMS"; sign vendor; }
absolute_line() { printf '%064d  C:\\x\n' 0 >> "$medium/SHA256SUMS"; sign vendor; }
other_key() { sign stranger; }
# A character of the signature itself, past "ED" and the key id, changed.
damaged_signature() {
  sign vendor
  awk 'NR == 2 { c = substr($0, 31, 1); $0 = substr($0, 1, 30) (c == "A" ? "B" : "A") substr($0, 32) } 1' \
    "$medium/SHA256SUMS.minisig" > "$work/sig" && mv "$work/sig" "$medium/SHA256SUMS.minisig"
}
unsigned() { :; }

vendor_key=$(windows_path "$work/vendor.pub")
while IFS='|' read -r prepare named words; do
  fresh_product
  fresh_medium
  "$prepare"
  before=$(snapshot)
  update --trusted-key "$vendor_key"
  [ "$status" -eq 2 ] || fail "$prepare: exit status $status, expected 2"$'\n'"$output"
  after=$(snapshot)
  [ "$after" = "$before" ] || fail "$prepare: the product changed:"$'\n'"$(diff <(echo "$before") <(echo "$after"))"
  grep -qF "$named" <<<"$output" || fail "$prepare: the box does not name $named:"$'\n'"$output"
  grep -qF "$words" <<<"$output" || fail "$prepare: the box does not say $words:"$'\n'"$output"
done <<'CASES'
changed_archive|HELP.lzh|署名された時から変更されています
not_listed|FORMATER.EXE|SHA256SUMS に記載されていません
listed_missing|DEST.BMP|がありません
climbing_line|SHA256SUMS|行目が正しくありません
absolute_line|SHA256SUMS|行目が正しくありません
other_key|SHA256SUMS.minisig|信頼されていない鍵
damaged_signature|SHA256SUMS.minisig|署名が正しくありません
unsigned|SHA256SUMS.minisig|署名がありません
CASES

# The medium the key vouches for, and an unsigned one with no key, apply.
for trust in signed unsigned; do
  fresh_product
  fresh_medium
  if [ "$trust" = signed ]; then
    sign vendor
    update --trusted-key "$vendor_key"
  else
    rm "$medium/SHA256SUMS"
    update
  fi
  [ "$status" -eq 0 ] || fail "$trust: exit status $status, expected 0"$'\n'"$output"
  check_sample_update
done

finish "signed media under Wine"
