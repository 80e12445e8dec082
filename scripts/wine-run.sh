#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of its own that is made on
# first use (the tests' prefix lives in the build folder).
#   scripts/wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail

export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here uses .NET or HTML, and their installers
# would ask on screen.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Tests start in parallel: only one of them makes the prefix.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot --init >/dev/null 2>&1
      # The pages' font "ＭＳ Ｐゴシック", and the boxes' font, drawn
      # with IPA P Gothic (fonts-ipafont-gothic), as the Linux wizard's
      # fontconfig alias does.
      { printf '\xff\xfe'; sed 's/$/\r/' "$(dirname "$0")/wine-fonts.txt" | iconv -f UTF-8 -t UTF-16LE; } \
        > "$WINEPREFIX/drive_c/tovrin-fonts.reg"
      wine regedit /S 'C:\tovrin-fonts.reg' >/dev/null 2>&1
    fi
    wineserver --wait
  ) 9>"$WINEPREFIX/.made-by-tovrin.lock"
fi
exec wine "$@"
