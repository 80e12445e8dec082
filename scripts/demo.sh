#!/usr/bin/env bash
# Applies the sample update (examples/medium) to a fresh copy of the sample
# product (examples/product), mapped as drive C:, then shows what changed.
# With a display the wizard runs; without one, the unattended run.
set -euo pipefail

program=${1:?usage: demo.sh PROGRAM}
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tovrin-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

cp -R "$root/examples/product/drive_c" "$work/c"
cp -R "$work/c" "$work/before"
# The sample medium is signed by the sample's test key, trusted here as an
# administrator trusts a vendor's key.
options=(--medium "$root/examples/medium" --drive "C=$work/c:fixed"
         --registry "$root/examples/product/uninstall.reg"
         --trusted-key "$root/examples/sample-medium-test-key.pub" --log "$work/run.log")

echo "Sample product copied to $work/c (drive C:)"
# The wizard where a display is available, else the unattended run.
mode=(--unattended)
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  mode=()
fi
status=0
"$program" "${mode[@]}" "${options[@]}" || status=$?
echo "tovrin ended with exit status $status"
sed -n 's/^.*medium disk \([0-9]*\): /Medium disk \1: /p' "$work/run.log" 2>/dev/null || true
echo

utf8() { iconv -f CP932 -t UTF-8 "$1" 2>/dev/null || cat "$1"; }

echo "What changed in C:\\"
# The run's own bookkeeping folder (.tovrin: its lock) is no product file.
(cd "$work/c" && find . -name .tovrin -prune -o -type f -print | sort) | while read -r file; do
  name=${file#./}
  windows="C:\\${name//\//\\}"
  if [ ! -e "$work/before/$name" ]; then
    echo "  added     $windows"
  elif ! cmp -s "$work/before/$name" "$work/c/$name"; then
    case "${name,,}" in
      *.ini)
        echo "  settings  $windows"
        diff <(utf8 "$work/before/$name" | tr -d '\r') <(utf8 "$work/c/$name" | tr -d '\r') |
          sed -n 's/^< /      - /p; s/^> /      + /p' || true
        ;;
      *.mst)
        changed=$(diff <(tr -d '\r' < "$work/before/$name") <(tr -d '\r' < "$work/c/$name") |
          grep -c '^>' || true)
        echo "  converted $windows ($changed records rewritten)"
        ;;
      *) echo "  replaced  $windows" ;;
    esac
  fi
done
exit "$status"
