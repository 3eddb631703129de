#!/usr/bin/env bash
# Installs the Khronos glTF validator that the model tests run, at the version
# tests/gltf/package-lock.json pins, with npm into FOLDER/node_modules (by
# default the user's cache, where the build looks for it; nothing global).
# Without npm or without the registry it says so and succeeds: the tests then
# read the models back with VTK's glTF reader instead.
# Usage: install-gltf-validator.sh [FOLDER]
set -euo pipefail
pins=$(cd "$(dirname "$0")/../../tests/gltf" && pwd)
folder=${1:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmere/gltf-validator}

if [ -f "$folder/node_modules/gltf-validator/package.json" ] &&
  cmp -s "$pins/package-lock.json" "$folder/package-lock.json"; then
  exit 0
fi
if ! command -v npm >/dev/null; then
  echo "npm is missing: the glTF tests read the models back with VTK's reader instead of validating them" >&2
  exit 0
fi
mkdir -p "$folder"
cp "$pins/package.json" "$pins/package-lock.json" "$folder/"
# Debian's npm knows only its own certificates; the system's bundle holds
# those of a machine behind a proxy as well.
ca=()
if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
  ca=(--cafile=/etc/ssl/certs/ca-certificates.crt)
fi
# One quick retry: npm's own backoff spends over a minute on a registry that
# refuses us (a proxy's certificate, no network), and every run asks again.
if ! (cd "$folder" && npm ci "${ca[@]}" --ignore-scripts --no-audit --no-fund --loglevel=error \
  --fetch-retries=1 --fetch-retry-mintimeout=1000 --fetch-retry-maxtimeout=3000); then
  rm -rf "$folder/node_modules"
  echo "the glTF validator could not be installed from the npm registry: the glTF tests read the models" \
    "back with VTK's reader instead" >&2
fi
