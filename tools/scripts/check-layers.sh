#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it may not use: the
# table below is the "May use" column of doc/ARCHITECTURE.md.
set -euo pipefail
cd "$(dirname "$0")/../.."

declare -A may_use=(
  [core]=""
  [config]="core"
  [model]="core config"
  [scale]="core config model"
  [scene]="core config model"
  [cut]="core config model scale"
  [inspect]="core config model scale scene"
  [export]="core model"
  [render]="core config model scale scene export"
  [batch]="core config model scale scene cut inspect export render"
  [ui/scene]="core config model scene render"
  [ui/scale]="core config scale scene"
  [ui/config]="core config"
  [ui/cut]="core config model scale cut"
  [ui/inspect]="core config model scene inspect ui/scene"
  [ui/export]="core config model export render ui/scene"
  [app]="core config model scale scene cut inspect export render ui/scene ui/scale ui/config ui/cut ui/inspect ui/export"
  [tools]=""
)

status=0
for folder in "${!may_use[@]}"; do
  [ -d "$folder" ] || continue
  allowed=" $folder ${may_use[$folder]} "
  # Headers of a folder one level down (ui/scene) or at the top (scene).
  while IFS=: read -r file line include; do
    target=$(sed -E 's|^#include "((ui/)?[^/]+)/.*|\1|' <<<"$include")
    if [[ "$allowed" != *" $target "* ]]; then
      echo "$file:$line: $folder may not use $target: $include" >&2
      status=1
    fi
  done < <(find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 grep -Hn '^#include "[a-z]*/' || true)
done
[ $status -eq 0 ] || echo "See doc/ARCHITECTURE.md for what each folder may use." >&2
exit $status
