#!/usr/bin/env bash
# Pictorel's one set-up script: installs what is missing, configures, builds, and then
#   ./build.sh run    starts the program from its program folder
#   ./build.sh test   runs every test, then again built with AddressSanitizer and
#                     UndefinedBehaviorSanitizer (clang, in build-asan), with every fuzz corpus replayed
#   ./build.sh bench  builds the benchmarks as well (bench/compare_*.sh run them against other tools)
#   ./build.sh build  only builds
#   ./build.sh format-check  fails when a source file differs from what .clang-format makes of it
#   ./build.sh package  makes the Debian package in build/ and checks it with lintian and its
#                     metainfo with appstreamcli
#   ./build.sh screenshots  draws the README's pictures of the window again (doc/screenshots/)
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev libgl-dev qt6-translations-l10n
  libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev libimagequant-dev
  libheif-dev libwebp-dev libjxl-dev liblcms2-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-pyftpdlib microsocks tinyproxy
  desktop-file-utils dpkg-dev file lintian appstream
  clang libclang-rt-14-dev
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

# build [ON|OFF]: the program, the tests and, with ON, the benchmarks.
build() {
  install_missing
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTOREL_BENCH="${1:-OFF}" >/dev/null
  cmake --build build -j "$(nproc)"
}

# The sanitizer build: lean (no benchmarks) and at -O1, so it stays quick to build and to run. Any
# report, a leak included, ends the test that made it.
sanitized_test() {
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DPICTOREL_SANITIZE=ON -DPICTOREL_FUZZ=ON -DPICTOREL_BENCH=OFF >/dev/null
  cmake --build build-asan -j "$(nproc)"
  # Leaks are checked too. The leak checker stops the process's threads to look at them; where the
  # machine refuses that (no ptrace), the run goes on without it and says so.
  local leaks=1
  if ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen build-asan/tests/foundation/foundation_tests \
       --gtest_filter='IniFileTest.*' 2>&1 | grep -q "LeakSanitizer has encountered a fatal error"; then
    echo "build.sh: the leak checker cannot run on this machine; leaks are not checked" >&2
    leaks=0
  fi
  # The suppressions name only leaks of the test tools' own libraries (tests/lsan.supp).
  (cd build-asan && QT_QPA_PLATFORM=offscreen \
    LSAN_OPTIONS=suppressions="$PWD/../tests/lsan.supp" ASAN_OPTIONS=detect_leaks=$leaks:abort_on_error=1:detect_stack_use_after_return=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j "$(nproc)")
}

# The package, then its checks: lintian must find no error (warnings are shown), the metainfo must
# validate.
package() {
  build
  (cd build && cpack -G DEB)
  local deb
  deb=$(ls -t build/pictorel_*.deb | head -n 1)
  lintian --fail-on error "$deb"
  appstreamcli validate --no-net build/data/desktop/*.metainfo.xml
  echo "build.sh: $deb passes lintian and appstreamcli"
}

case "${1:-build}" in
  build) build ;;
  run) build; exec build/program/pictorel ;;
  bench) build ON ;;
  package) package ;;
  screenshots)
    build
    packages+=(xvfb xdotool openbox imagemagick)
    install_missing
    doc/make-screenshots.sh
    ;;
  format-check)
    install_missing
    git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror
    ;;
  test)
    build
    (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
    sanitized_test
    ;;
  *) echo "usage: $0 [build|run|test|bench|package|screenshots|format-check]" >&2; exit 2 ;;
esac
