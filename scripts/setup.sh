#!/usr/bin/env bash
# Installs everything the build, tests and benchmarks need (Debian packages only),
# makes the palettes, then configures and builds. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config clang-format ccache
  clang libclang-rt-dev llvm
  libpcap-dev libsimpleini-dev libgtest-dev libgmock-dev libbenchmark-dev libtiff-dev
  libpng-dev nlohmann-json3-dev
  iproute2
  libopencv-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  srecord binutils
  python3-pil python3-numpy
  python3-dev pybind11-dev python3-pytest
  libcivetweb-dev chromium chromium-driver python3-selenium
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A decimal-comma locale: the tests check that numbers in files ignore the locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

build=${BUILD_DIR:-build}
build_type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_EXTRA_ARGS:-}
cmake --build "$build" -j2

# The main job on the generated sample: the movie's frames as ironbow palette images.
"$build/bin/zelir" play "$build/samples/sample.irm" --out "$build/demo" --palette 1

# The Python package lives in the build folder; nothing is installed outside the work tree.
PYTHONPATH="$build/python" ZELIR_DATA_DIR="$build/test-data/setup" /usr/bin/python3 -c \
  "import zelir; print('zelir Python package:', zelir.open('$build/samples/sample.irm').frame_count, 'frames')"
