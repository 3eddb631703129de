#!/usr/bin/env bash
# Fails when a library ends the process (exit, abort, terminate and their
# kin): the libraries report, the programs decide how to end.
set -euo pipefail
cd "$(dirname "$0")/../.."

libraries=()
for folder in core config model scale scene cut inspect export measure session messages render ui; do
  [ -d "$folder" ] && libraries+=("$folder")
done
[ ${#libraries[@]} -gt 0 ] || exit 0
if grep -rnE --include='*.cpp' --include='*.h' \
  '(^|[^[:alnum:]_])(exit|_Exit|quick_exit|abort|terminate)[[:space:]]*\(' "${libraries[@]}"; then
  echo "The libraries above end the process; throw CCriticalError (core/Messages.h) instead." >&2
  exit 1
fi
