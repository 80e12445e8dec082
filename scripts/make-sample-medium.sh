#!/usr/bin/env bash
# Regenerates the sample update medium (examples/medium/) and the sample
# installed product it updates (examples/product/), byte for byte the same
# on every run: texts in code page 932 with CR LF, LZH archives made with
# lha (-lh5- and -lh7-), pictures made with ImageMagick.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
medium=$root/examples/medium
product=$root/examples/product
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One fixed time for every file that goes into an archive.
stamp='2026-04-01 09:00:00'

rm -rf "$medium" "$product"
mkdir -p "$medium" "$product"

python3 - "$medium" "$product" "$work" <<'EOF'
import os
import sys

medium, product, work = sys.argv[1:4]
TAB_BREAK = "\t\t"  # a TAB and the byte after it become one line break


def write(path, text, newline="\r\n"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(text.replace("\n", newline).encode("cp932"))


# --- the update description ----------------------------------------------
uninstall_keys = ["ベルソール設備9", "VelsorSetsubi9"] + [""] * 13
notes = TAB_BREAK.join([
    "このアップデートはベルソール設備を 9.0S に更新します。",
    "更新を始める前に、ベルソール設備を終了してください。",
    "マスタファイルの材料サイズと材料タイプを変換します。",
    "更新に失敗したときは、更新前の状態に戻します。",
    "最後の更新は tovrin --undo で取り消せます。",
])
dest_notes = TAB_BREAK.join([
    "更新するシステムのフォルダを選んでください。",
    "通常はそのまま「次へ」を押します。",
])
title_keys = ["電気", "水道", "設備", "建築", "空調", "衛生", "消防", "給排水",
              "電設", "管工事", "土木", "内装", "外構", "防災", "計装"]
fixed = uninstall_keys + [
    "C:\\VELSOR",      # 16 default destination
    "0",               # 17 product kind: version read from velsor1.ini
    "1",               # 18 convert the masters
    "NULL",            # 19 settings file: velsor1.ini or tremick1.ini
    "3",               # 20 trade: building services
    "9.0S",            # 21 version
    "VIEW.BMP", "NOTICE.BMP", "DEST.BMP", "CONFIRM.BMP",  # 22-25
    notes,             # 26
    dest_notes,        # 27
] + title_keys         # 28-42
assert len(fixed) == 42
records = [
    "1,1,START,\\",
    "1,1,HELP,help\\",
    "1,0,FORMATER.EXE,\\",
    "2,1,BMPUPD,bmp\\",
    "2,0,TEIGI.DAT,data\\",
]
write(os.path.join(medium, "info.txt"), "\n".join(fixed + records) + "\n")

# --- files inside the archives (archived by the shell part below) ---------
trades = {1: "電気", 2: "水道", 3: "設備"}
for number, trade in trades.items():
    folder = os.path.join(work, f"start{number}")
    write(os.path.join(folder, "VELSOR.EXE"),
          f"ベルソール{trade} 9.0S プログラム本体（見本）\n" + "命令表 " * 400 + "\n")
    write(os.path.join(folder, "VE2MENU.INI"),
          f"[MENU]\nTITLE=ベルソール{trade} 9.0S\nITEM1=図面作成\nITEM2=材料集計\n"
          "ITEM3=見積書\nITEM4=帳票出力\n")
topics = "\n".join(f"{n:03d} 操作説明 第{n}項：画面の使い方と入力の手順" for n in range(1, 241))
write(os.path.join(work, "help", "HELP.TXT"), "ベルソール設備 9.0S 操作説明\n\n" + topics + "\n")
write(os.path.join(work, "help", "KAITEI.TXT"),
      "9.0S の改訂内容\n" + "\n".join(f"・改訂 {n}：材料マスタの項目を見直しました。" for n in range(1, 81)) + "\n")

# --- single files of the medium -------------------------------------------
with open(os.path.join(medium, "FORMATER.EXE"), "wb") as out:
    out.write(b"MZ" + "帳票整形ツール 9.0S（見本）".encode("cp932") + bytes(range(256)) * 4)
write(os.path.join(medium, "TEIGI.DAT"),
      "; 材料定義 9.0S\n" + "\n".join(f"{n:04d},材料{n},本,{n * 10}" for n in range(1, 61)) + "\n")

# --- the installed product: drive C: with C:\VELSOR ------------------------
app = os.path.join(product, "drive_c", "VELSOR")
write(os.path.join(app, "velsor1.ini"),
      "[SYSTEM]\nVERSION=8\nTITLE=ベルソール設備 8.0S\nGENGOU=平成\nMAKER=1\n"
      "\n[DIR]\nMASTER=C:\\VELSOR\\MST\n")
write(os.path.join(app, "dov3.ini"),
      "[HISTORY]\n抽出開始日ON=0\n抽出終了日ON=0\n保存件数=20\n")
write(os.path.join(app, "ve2menu.ini"),
      "[MENU]\nTITLE=ベルソール設備 8.0S\nITEM1=図面作成\nITEM2=材料集計\nITEM3=見積書\n")
write(os.path.join(app, "VELSOR.EXE"), "ベルソール設備 8.0S プログラム本体（見本）\n")
with open(os.path.join(app, "formater.exe"), "wb") as out:
    out.write(b"MZ" + "帳票整形ツール 8.0S（見本）".encode("cp932"))


def master_record(code, sub, letter, name, tail):
    """One fixed-column record: code, sub-code, a blank, the type letter,
    a 52-byte name field, one padding byte at 67, then the rest."""
    name_bytes = name.encode("cp932")
    assert len(name_bytes) <= 52
    line = (code + sub + " " + letter).encode("ascii") + name_bytes + b" " * (52 - len(name_bytes))
    line += b" "  # byte 67: the padding that the size conversion drops
    return line + tail.encode("ascii")


def master_file(path, items):
    lines = []
    for code, sub, letter, name in items:
        if code == "400400" and sub in ("000107", "000111"):
            tail = "".join(f"{n:010d}" for n in range(1, 12)) + "9" * 9  # 186 bytes in all
        else:
            tail = "0000000100000002"
        lines.append(master_record(code, sub, letter, name, tail))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(b"\r\n".join(lines) + b"\r\n")


master_file(os.path.join(app, "MST1", "zai001-3.mst"), [
    ("400400", "000107", "A", "硬質塩化ビニル管 VP20"),
    ("400400", "000111", "B", "硬質塩化ビニル管 VP25"),
    ("400400", "000105", "A", "継手 エルボ 20"),
    ("400300", "000107", "C", "鋼管 SGP 20A"),
])
master_file(os.path.join(app, "MST1", "zai002-3.mst"), [
    ("400400", "000107", "B", "ケーブル VVF 2.0-2C"),
    ("400100", "000001", "A", "電線管 E19"),
])
master_file(os.path.join(app, "MST21", "zai101-3.mst"), [
    ("400400", "000111", "A", "ダクト 角 300x200"),
    ("400200", "000020", "Z", "制気口 VHS"),
])
# Not a material-size master: the conversions leave it alone.
master_file(os.path.join(app, "MST1", "zai001-2.mst"), [
    ("400400", "000107", "A", "旧形式 硬質塩化ビニル管"),
])
EOF

# The bitmaps: one of the product's, the wizard's four, the archive's one.
house="polygon 60,150 160,70 260,150 polygon 85,150 235,150 235,225 85,225 rectangle 140,180 180,225"
picture() {  # picture FILE WIDTH HEIGHT FROM TO DEPTH
  local file=$1 width=$2 height=$3 from=$4 to=$5 depth=$6
  local type=(-type TrueColor)
  [ "$depth" = 8 ] && type=(-type Palette -colors 64)
  convert -size 320x240 "gradient:$from-$to" -fill none -stroke '#2f3e4e' -strokewidth 6 \
    -draw "$house" -resize "${width}x${height}!" "${type[@]}" +set date:create +set date:modify \
    -compress None "BMP3:$file"
}
picture "$medium/VIEW.BMP" 320 240 '#eef3f8' '#7fa7c9' 8
picture "$medium/NOTICE.BMP" 40 40 '#fdf6e3' '#d9a441' 8
picture "$medium/DEST.BMP" 40 40 '#eef8ee' '#5e9e6e' 8
picture "$medium/CONFIRM.BMP" 40 40 '#f8eeee' '#b05a5a' 24
mkdir -p "$product/drive_c/VELSOR/bmp" "$work/bmpupd"
picture "$product/drive_c/VELSOR/bmp/LAYER2L.BMP" 64 48 '#ffffff' '#999999' 8
picture "$work/bmpupd/LAYER3L.BMP" 64 48 '#ffffff' '#6688aa' 24
picture "$work/bmpupd/LAYER2L.BMP" 64 48 '#ffffff' '#4477aa' 8

# Archives: members without folders, fixed times, one method each.
archive() {  # archive METHOD LZH FOLDER
  local method=$1 name=$2 folder=$3
  find "$folder" -type f -exec touch -d "$stamp" {} +
  (cd "$folder" && lha "ao$method" "$medium/$name" $(ls) >/dev/null)
}
archive 5 START1.lzh "$work/start1"
archive 5 START2.lzh "$work/start2"
archive 5 START3.lzh "$work/start3"
archive 7 HELP.lzh "$work/help"
archive 7 BMPUPD.lzh "$work/bmpupd"

# The uninstall entry that points the destination page at C:\VELSOR.
python3 - "$product/uninstall.reg" <<'EOF'
import sys
text = (
    "REGEDIT4\n\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ベルソール設備9]\n"
    "\"DisplayName\"=\"ベルソール設備 8.0S\"\n"
    "\"UninstallString\"=\"C:\\\\WINDOWS\\\\UNINST.EXE -fC:\\\\VELSOR\\\\UNINST.LOG\"\n"
)
with open(sys.argv[1], "wb") as out:
    out.write(text.replace("\n", "\r\n").encode("cp932"))
EOF

# Signed as a vendor signs a medium (README), by the sample's test key; a
# fixed trusted comment keeps the signature the same from run to run.
(cd "$medium" && rm -f SHA256SUMS SHA256SUMS.minisig && sha256sum * > SHA256SUMS &&
  minisign -S -s "$root/tests/data/signing/sample-medium-TEST-KEY-do-not-use.key" \
    -t "tovrin sample medium, signed by the sample's test key" -m SHA256SUMS >/dev/null </dev/null)

find "$medium" "$product" -type f -exec touch -d "$stamp" {} +
echo "sample medium in $medium, sample product in $product"
