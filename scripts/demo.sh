#!/usr/bin/env bash
# Shows the drive table that the program sees on this machine.
set -euo pipefail
program=${1:?usage: demo.sh PROGRAM}
"$program" --drives
