#!/usr/bin/env bash
# Installs what building and testing need, when it is missing and this user
# can: Debian packages through apt-get, as root. Otherwise says what is
# missing and leaves the decision to the build.
set -euo pipefail

packages=(cmake ninja-build g++ make python3 googletest libgtest-dev libgmock-dev util-linux)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
  echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
