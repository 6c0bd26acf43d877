#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/. Shared by ./run and ./test.
#   scripts/setup.sh          everything (./test)
#   scripts/setup.sh program  only the program, and nothing at all when the
#                             build is newer than every source (./run)
set -euo pipefail
cd "$(dirname "$0")/.."

pkgs=(cmake g++ make pkg-config ccache qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc
      unixodbc-dev libsqlite3-dev libgsf-1-dev libxlsxwriter-dev libzip-dev libexpat1-dev
      python3-xlwt python3-xlsxwriter fonts-wqy-microhei qt6-translations-l10n
      desktop-file-utils appstream dpkg-dev file lintian
      libopencc-dev libopencc-data postgresql odbc-postgresql rename)
build_type="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
exe=build/src/zorvane
# What the last successful set-up saw: the package list and the build type.
stamp=build/.setup-stamp
want="${pkgs[*]} | $build_type"

up_to_date() {
  [ -x "$exe" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] &&
    [ -z "$(find src CMakeLists.txt -newer "$exe" -print -quit 2>/dev/null)" ]
}

if [ "${1:-}" = program ] && up_to_date; then
  exit 0
fi

if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$want" ]; then
  missing=()
  while read -r name status; do
    [ "$status" = installed ] || missing+=("$name")
  done < <(for p in "${pkgs[@]}"; do
             s=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
             echo "$p ${s:-missing}"
           done)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

echo "正在编译…"
# A configured tree re-runs its configure by itself when a CMakeLists changes.
if [ ! -f build/CMakeCache.txt ] ||
   ! grep -qx "CMAKE_BUILD_TYPE:STRING=$build_type" build/CMakeCache.txt; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
fi
if [ "${1:-}" = program ]; then
  cmake --build build -j"$(nproc)" --target zorvane
else
  cmake --build build -j"$(nproc)"
fi
echo "$want" >"$stamp"
