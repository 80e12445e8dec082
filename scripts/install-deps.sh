#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12.
# Idempotent: only missing packages are installed. Run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  liblhasa-dev lhasa libarchive-tools jlha-utils nettle-dev
  nlohmann-json3-dev  # the run's report for machines (--report)
  libsodium-dev minisign  # signed media: their verification (the Windows program builds Debian's
                          # libsodium sources), and the tests sign with the real tool
  ansible-core        # the fleet module's test: three hosts on this machine
  libwxgtk3.2-dev
  fonts-ipafont-gothic fontconfig
  xvfb xauth x11-apps imagemagick xdotool openbox
  libxfixes-dev  # the GUI tests ask the X server which cursor it shows
  x11-utils  # xprop: the GUI tests ask the window manager how windows are stacked
  attr clang libclang-rt-14-dev llvm
  clang-format  # the house style, checked by a test (make format applies it)
  strace  # the tests fail one system call at a time in the real program
  g++-mingw-w64-x86-64-posix dpkg-dev googletest wine wine64
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing: ${missing[*]}" >&2
  echo "install-deps: run this script as root to install them." >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
