#!/usr/bin/env bash
# Pictorel's one set-up script: installs what is missing, configures, builds, and then
#   ./build.sh run    starts the program from its program folder
#   ./build.sh test   runs every test
#   ./build.sh build  only builds
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev libimagequant-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib microsocks tinyproxy
  desktop-file-utils
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  install_missing
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$(nproc)"
}

case "${1:-build}" in
  build) build ;;
  run) build; exec build/program/pictorel ;;
  test)
    build
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  *) echo "usage: $0 [build|run|test]" >&2; exit 2 ;;
esac
