#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the viewer need, when
# any of them is missing, then the glTF validator the model tests run
# (install-gltf-validator.sh). Runs apt-get as root or through sudo.
set -euo pipefail
validator=$(dirname "$0")/install-gltf-validator.sh

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev libglu1-mesa-dev libegl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  qt6-image-formats-plugins xvfb xauth ffmpeg poppler-utils ccache
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev libtbb-dev libeigen3-dev
  clang libclang-rt-14-dev clang-format locales desktop-file-utils
  munge slurmctld slurmd slurm-client python3-vtk9
  chromium chromium-driver python3-selenium zlib1g-dev
)
packages+=("$@")
# Node.js runs the glTF validator; a Node.js of another origin that brings
# its own npm is kept (Debian's npm would conflict with it).
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exec "$validator"

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo=(sudo)
  else
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  -o DPkg::Lock::Timeout=300 "${missing[@]}"
"$validator"
