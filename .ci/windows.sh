#!/usr/bin/env bash
# Windows leg: cross compiles with mingw-w64 and runs every unit and
# end-to-end test through wine, in a private wine environment that is thrown
# away afterwards; then builds the Windows .zip. Run from anywhere:
#   bash .ci/windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

. .ci/lib.sh
install_missing cmake make g++-mingw-w64-x86-64-posix wine64 googletest

# Debian's wine64 keeps its loader and server off PATH.
wine_program() {
  local path
  while read -r path; do
    if [ "${path##*/}" = "$1" ] && [ -f "$path" ] && [ -x "$path" ]; then
      echo "$path"
      return 0
    fi
  done < <(dpkg -L wine64)
  echo "wine64 is installed but has no $1" >&2
  return 1
}
wine_loader=$(wine_program wine64)
wine_server=$(wine_program wineserver64)

# A throwaway wine environment: its own prefix, home and temporary folder.
wine_root=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-wine.XXXXXX")
export WINEPREFIX="$wine_root/prefix" HOME="$wine_root/home" TMPDIR="$wine_root/tmp"
export WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX" "$HOME" "$TMPDIR"
cleanup() {
  "$wine_server" -k >/dev/null 2>&1 || true
  # The server leaves its socket folder a moment after it is told to go.
  "$wine_server" -w >/dev/null 2>&1 || true
  rm -rf "$wine_root"
}
trap cleanup EXIT

# A persistent server and a booted prefix before the first test: otherwise
# every test waits for wine's helper processes to let go of its output.
echo "== starting wine"
"$wine_server" -p </dev/null >/dev/null 2>&1
"$wine_loader" wineboot -i </dev/null >/dev/null 2>&1
echo "wine ready after $((SECONDS - started)) s"

export CARDLIFT_WERROR=ON
echo "== Windows build and tests (wine)"
cmake --workflow --preset windows

echo "== Windows release package"
cmake --preset windows-release
cmake --build --preset windows-release
(cd build/windows-release && cpack)
cmake -E tar tf build/windows-release/cardlift-*-win64.zip | tee "$wine_root/zip.txt"
grep -q '/bin/cardlift\.exe$' "$wine_root/zip.txt"
grep -q '/share/man/man1/cardlift\.1$' "$wine_root/zip.txt"

echo "== Windows leg took $((SECONDS - started)) s"
