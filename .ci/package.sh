#!/usr/bin/env bash
# Linux packages: checks the manual page, builds the release, makes the .deb
# and the .tar.gz, and checks what the .deb holds and that its program runs.
#   bash .ci/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/lib.sh
install_missing cmake make g++ groff-base

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

echo "== manual page"
groff -man -Tutf8 -ww docs/cardlift.1 >/dev/null 2>"$scratch/groff.txt"
if [ -s "$scratch/groff.txt" ]; then
  cat "$scratch/groff.txt"
  echo "docs/cardlift.1: groff warns" >&2
  exit 1
fi

echo "== release build and packages"
export CARDLIFT_WERROR=ON
cmake --preset release
cmake --build --preset release
(cd build/release && cpack)

deb=$(ls build/release/cardlift_*.deb)
dpkg-deb -c "$deb" | tee "$scratch/contents.txt"
for file in ./usr/bin/cardlift ./usr/share/man/man1/cardlift.1.gz; do
  if ! grep -q " $file\$" "$scratch/contents.txt"; then
    echo "$deb lacks $file" >&2
    exit 1
  fi
done
tar -tzf build/release/cardlift-*-Linux.tar.gz

# The packaged program starts, and without arguments ends with -1001.
dpkg-deb -x "$deb" "$scratch/root"
status=0
"$scratch/root/usr/bin/cardlift" >"$scratch/usage.txt" || status=$?
if [ "$status" -ne 23 ] || ! grep -q '^Usage:$' "$scratch/usage.txt"; then
  echo "the packaged cardlift gave status $status" >&2
  exit 1
fi
zcat "$scratch/root/usr/share/man/man1/cardlift.1.gz" | groff -man -Tutf8 -ww >/dev/null
echo "== packages: $(basename "$deb") $(cd build/release && ls cardlift-*-Linux.tar.gz)"
