#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/. Shared by ./run and ./test.
set -euo pipefail
cd "$(dirname "$0")/.."

pkgs=(cmake g++ make pkg-config ccache qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc
      unixodbc-dev libsqlite3-dev libgsf-1-dev libxlsxwriter-dev libzip-dev libexpat1-dev
      python3-xlwt python3-xlsxwriter fonts-wqy-microhei
      desktop-file-utils appstream dpkg-dev file lintian)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j"$(nproc)"
