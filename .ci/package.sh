#!/usr/bin/env bash
# Linux packages: checks the manual page, builds the release, makes the .deb
# and the .tar.gz, and checks what they hold, that the program in the .deb
# is stripped and runs, and what lintian says of the .deb.
#   bash .ci/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/lib.sh
install_missing cmake make g++ groff-base dpkg-dev file lintian

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "$*" >&2
  exit 1
}

echo "== manual page"
# Both forms of the page: the Linux one and the .zip's (-rwindows=1).
groff -t -man -Tutf8 -ww docs/cardlift.1 >/dev/null 2>"$scratch/groff.txt"
groff -t -man -Tutf8 -ww -rwindows=1 docs/cardlift.1 >/dev/null 2>>"$scratch/groff.txt"
if [ -s "$scratch/groff.txt" ]; then
  cat "$scratch/groff.txt"
  fail "docs/cardlift.1: groff warns"
fi

echo "== release build and packages"
export CARDLIFT_WERROR=ON
cmake --preset release
cmake --build --preset release
(cd build/release && cpack)

deb=$(ls build/release/cardlift_*.deb)
dpkg-deb -c "$deb" | tee "$scratch/contents.txt"
for file in ./usr/bin/cardlift ./usr/share/man/man1/cardlift.1.gz \
  ./usr/share/doc/cardlift/copyright ./usr/share/doc/cardlift/changelog.gz; do
  grep -q " $file\$" "$scratch/contents.txt" || fail "$deb lacks $file"
done
dpkg-deb -f "$deb" Maintainer | grep -q '^[^<]* <[^@]*@[^>]*>$' ||
  fail "$deb: no maintainer of the form Name <address>"

tar -tzf build/release/cardlift-*-Linux.tar.gz | tee "$scratch/tar.txt"
for file in bin/cardlift share/man/man1/cardlift.1.gz share/doc/cardlift/copyright \
  share/doc/cardlift/changelog.gz; do
  grep -q "/$file\$" "$scratch/tar.txt" || fail "the .tar.gz lacks $file"
done

# The packaged program is stripped, starts, and without arguments ends
# with -1001; its manual page and changelog read as they should.
dpkg-deb -x "$deb" "$scratch/root"
file "$scratch/root/usr/bin/cardlift" | grep -q ', stripped' ||
  fail "the packaged cardlift is not stripped"
status=0
"$scratch/root/usr/bin/cardlift" >"$scratch/usage.txt" || status=$?
if [ "$status" -ne 23 ] || ! grep -q '^Usage:$' "$scratch/usage.txt"; then
  fail "the packaged cardlift gave status $status"
fi
zcat "$scratch/root/usr/share/man/man1/cardlift.1.gz" | groff -t -man -Tutf8 -ww >/dev/null
zcat "$scratch/root/usr/share/doc/cardlift/changelog.gz" >"$scratch/changelog"
dpkg-parsechangelog -l "$scratch/changelog" -S Version | grep -qx "$(dpkg-deb -f "$deb" Version)" ||
  fail "the changelog's latest version is not the package's"

# Errors, warnings and informational tags fail; the one tag the package
# overrides (packaging/debian/lintian-overrides) says why.
echo "== lintian"
status=0
lintian --fail-on error,warning,info --display-info --info "$deb" >"$scratch/lintian.txt" 2>&1 ||
  status=$?
grep -v '^running with root privileges' "$scratch/lintian.txt" || true
[ "$status" -eq 0 ] || fail "lintian failed or reports errors, warnings or informational tags for $deb"
echo "== packages: $(basename "$deb") $(cd build/release && ls cardlift-*-Linux.tar.gz)"
