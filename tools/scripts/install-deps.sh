#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the viewer need, when
# any of them is missing. Runs apt-get as root or through sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev libglu1-mesa-dev libegl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  qt6-image-formats-plugins xvfb xauth ffmpeg poppler-utils ccache
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev libtbb-dev libeigen3-dev
  clang libclang-rt-14-dev clang-format locales desktop-file-utils
  munge slurmctld slurmd slurm-client python3-vtk9
  chromium chromium-driver python3-selenium
)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

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
