#!/usr/bin/env bash
# Installs what building and testing need, when it is missing and this user
# can: Debian packages through apt-get, and the Japanese locale the Windows
# suite's double-byte case runs under. Without root or apt-get it says what is
# missing and leaves the rest to the build, which skips what it cannot run
# (outside CI) and says so.
set -euo pipefail

packages=(cmake ninja-build g++ make python3 googletest libgtest-dev libgmock-dev util-linux
          locales g++-mingw-w64-i686 wine wine32:i386
          clang libclang-rt-14-dev clang-tidy cppcheck groff-base)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
need_locale=false
locale -a 2>/dev/null | grep -qx 'ja_JP.utf8' || need_locale=true
if [ ${#missing[@]} -eq 0 ] && ! $need_locale; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  [ ${#missing[@]} -eq 0 ] || echo "install-deps: missing packages: ${missing[*]} (run as root to install them)"
  ! $need_locale || echo "install-deps: the ja_JP.UTF-8 locale is missing (run as root to make it)"
  exit 0
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if $need_locale; then
  echo "install-deps: making the ja_JP.UTF-8 locale"
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
