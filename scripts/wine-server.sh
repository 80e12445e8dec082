#!/usr/bin/env bash
# One Wine server for a whole test run. Left to itself, Wine stops its server
# a moment after the last program ends; a program started while it stops can
# be killed without a word. Tests start programs one after the other, so the
# run keeps one server up from start to stop.
#   scripts/wine-server.sh start|stop PREFIX
set -euo pipefail

action=$1
export WINEPREFIX=$2
export WINEDEBUG=${WINEDEBUG:--all}

case $action in
  start)
    # A server left by a run that never stopped would keep this one from
    # starting for an hour: it goes first. Then the prefix made, its first
    # server gone, and a server that stays until stop (or an hour after its
    # last program, if stop never comes).
    wineserver --kill 2>/dev/null || true
    "$(dirname "$0")/wine-run.sh" "$WINEPREFIX" cmd /c exit 0 </dev/null >/dev/null 2>&1
    wineserver --wait
    wineserver --persistent=3600 </dev/null >/dev/null 2>&1
    # Its first program starts Wine's own (services, the desktop), which live
    # as long as the server and keep the output they were given: not a test's,
    # or the test would never be seen to end.
    "$(dirname "$0")/wine-run.sh" "$WINEPREFIX" cmd /c exit 0 </dev/null >/dev/null 2>&1
    ;;
  stop)
    # Ends the server and whatever a failed test left running in the prefix;
    # no server left is no failure.
    wineserver --kill 2>/dev/null || true
    wineserver --wait
    ;;
  *)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 64
    ;;
esac
