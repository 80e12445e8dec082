# What the tests of tovrin.exe under Wine share: the sample product at
# C:\VELSOR of the tests' prefix, and the checks of the files the sample
# update changes there, as the Linux program's test checks them.
# Sourced with the arguments SOURCE_DIR TOVRIN_EXE WINE_PREFIX.

source_dir=$1
program=$2
prefix=$3
examples=$source_dir/examples
product=$prefix/drive_c/VELSOR
failures=0
# A command that ends the test (set -e), in a function too, names itself:
# Wine can end a program without a word.
set -E
trap 'ended_by=$?; [ "$BASHPID" != "$$" ] ||
  echo "FAIL: ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND: exit status $ended_by"' ERR

wine_run() { "$source_dir/scripts/wine-run.sh" "$prefix" "$@"; }
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
utf8() { iconv -f CP932 -t UTF-8 "$1"; }
fresh_product() {
  rm -rf "$product"
  cp -R "$examples/product/drive_c/VELSOR" "$product"
}
# Ends the test: 1 when a check failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures checks failed"
    exit 1
  fi
  echo "$1: every check passed"
}

# The prefix's C: must exist before the product is copied onto it.
wine_run cmd /c exit 0

check_sample_update() {
  # Archives of both methods and both disks, and the single files.
  utf8 "$product/VELSOR.EXE" | grep -q "ベルソール設備 9.0S" || fail "VELSOR.EXE not replaced"
  for file in help/HELP.TXT help/KAITEI.TXT bmp/LAYER3L.BMP; do
    [ -f "$product/$file" ] || fail "$file not extracted"
  done
  cmp -s "$product/data/TEIGI.DAT" "$examples/medium/TEIGI.DAT" || fail "data/TEIGI.DAT not copied"
  cmp -s "$product/formater.exe" "$examples/medium/FORMATER.EXE" || fail "formater.exe not copied"

  # Settings rewritten with CR LF, the rest of their lines kept.
  for line in 'VERSION=9.0S' 'TITLE=ベルソール設備 9.0S' 'GENGOU=令和' '種別設備=1' 'MASTER=C:\VELSOR\MST'; do
    utf8 "$product/velsor1.ini" | grep -qxF "$line"$'\r' || fail "velsor1.ini lacks $line"
  done
  for line in '抽出開始日ON=1' '抽出終了日ON=1'; do
    utf8 "$product/dov3.ini" | grep -qxF "$line"$'\r' || fail "dov3.ini lacks $line"
  done

  # Masters converted: the sized records grow to 185 bytes, no record keeps
  # the old kind letter; the master of another size is left alone.
  for master in MST1/zai001-3.mst MST1/zai002-3.mst MST21/zai101-3.mst; do
    tr -d '\r' < "$product/$master" | LC_ALL=C awk -v master="$master" '
      /^400400(000107|000111)/ && length($0) != 185 { print master ": record of " length($0) " bytes"; bad = 1 }
      substr($0, 14, 1) == "A" || substr($0, 14, 1) == "B" { print master ": " substr($0, 1, 14); bad = 1 }
      END { exit bad }' || fail "$master not converted"
  done
  cmp -s "$product/MST1/zai001-2.mst" "$examples/product/drive_c/VELSOR/MST1/zai001-2.mst" ||
    fail "MST1/zai001-2.mst changed"
  [ ! -e "$product/MST1/temp.mst" ] || fail "MST1/temp.mst left behind"
}
