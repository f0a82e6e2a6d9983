#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks, the fuzz
# targets (clang with its sanitizer and libFuzzer runtimes) and the demo data
# need.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config ccache python3
  libexpat1-dev libpng-dev libjpeg62-turbo-dev libopenjp2-7-dev zlib1g-dev
  libogg-dev libvorbis-dev libsdl2-dev libx11-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  linux-libc-dev  # the kernel's headers, for the tests' seccomp filter
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
