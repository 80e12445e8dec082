#!/usr/bin/env bash
# Until the update run exists, the demo shows what the program sees of the
# Windows world here: its drive table, and one Windows path resolved through
# a drive mapped onto a scratch folder.
set -euo pipefail
program=${1:?usage: demo.sh PROGRAM}

echo "The drive table of this machine (tovrin --drives):"
"$program" --drives

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/ソフト/Master"
echo

echo "C: mapped onto a scratch folder; a Windows path in another letter case:"
echo "  tovrin --drive C=$scratch --resolve 'c:\\ソフト\\MASTER\\zai001-3.mst'"
"$program" --drive "C=$scratch" --resolve 'c:\ソフト\MASTER\zai001-3.mst'
