#!/bin/sh
# make install into a scratch folder puts exactly the tool and its manual
# page where DESTDIR and PREFIX say, and the installed tool runs.
# usage: install_layout.sh SCRATCH_DIR CMAKE BUILD_DIR
set -eu
scratch=$1 cmake=$2 build=$3
rm -rf "$scratch"
DESTDIR="$scratch" "$cmake" --install "$build" --prefix /usr >/dev/null
found=$(cd "$scratch" && find . -type f | sort)
expected='./usr/bin/lorvink
./usr/share/man/man1/lorvink.1'
if [ "$found" != "$expected" ]; then
  printf 'installed:\n%s\nexpected:\n%s\n' "$found" "$expected"
  exit 1
fi
"$scratch/usr/bin/lorvink" | grep -q '^Usage:'
