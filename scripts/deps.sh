#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need; skips what is present.
set -euo pipefail
packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
    libsqlcipher-dev sqlcipher libxlsxwriter-dev libgumbo-dev libbenchmark-dev
    fonts-noto-cjk xvfb python3 python3-openpyxl clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
