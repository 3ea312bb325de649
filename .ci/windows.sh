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

echo "== the Windows program started from a POSIX shell under wine, and through cmd /c"
# expect WHAT STATUS COMMAND...: runs COMMAND and checks the status a POSIX
# shell sees (the low eight bits of a negative one).
expect() {
  local what=$1 want=$2 got=0
  shift 2
  "$@" || got=$?
  if [ "$got" -ne "$want" ]; then
    echo "$what: status $got, expected $want" >&2
    exit 1
  fi
}
exe=$PWD/build/windows/cardlift.exe
posix=$wine_root/posix
mkdir "$posix"
(
  cd "$posix"
  card='2271050042532101100708797031513 30045                                          I'
  printf '%s\n' "$card" "$card" >in.txt
  cp in.txt cards.txt
  # The console is the output or the input: refused, and no text lands there.
  expect '> out.txt' 19 "$wine_loader" "$exe" in.txt out.txt log.txt >out.txt </dev/null
  [ ! -s out.txt ] || { echo "> out.txt: the output holds text" >&2; exit 1; }
  expect '>> in.txt' 20 "$wine_loader" "$exe" in.txt out.txt log.txt >>in.txt </dev/null
  cmp in.txt cards.txt || { echo ">> in.txt: the input grew" >&2; exit 1; }
  cp "$exe" .
  expect 'cmd /c ... > out.txt' 19 "$wine_loader" cmd /c "cardlift.exe in.txt out.txt log.txt > out.txt" \
    </dev/null 2>/dev/null
  [ ! -s out.txt ] || { echo "cmd /c ... > out.txt: the output holds text" >&2; exit 1; }
  # One FIFO named as input and output.
  mkfifo ff
  exec 7<>ff
  expect 'FIFO as input and output' 19 "$wine_loader" "$exe" ff ff log.txt </dev/null >/dev/null 2>&1
  exec 7>&-
  # A name Windows keeps for a device.
  expect 'nul.txt' 19 "$wine_loader" "$exe" in.txt nul.txt log.txt </dev/null >/dev/null 2>err.txt
  grep -q 'nul.txt: is a device name on Windows' err.txt
  # A pipe on the console, with no FIFO among the run's files, stays fine.
  expect '| cat' 0 "$wine_loader" cardlift.exe in.txt out.txt log.txt </dev/null | cat >console.txt
  grep -q 'Wrote:.2.transactions to file \[out.txt\]' console.txt
)

echo "== Windows release package"
# The manual goes into the .zip as plain text, rendered by groff.
install_missing groff-base
cmake --preset windows-release
cmake --build --preset windows-release
(cd build/windows-release && cpack)
zip=$(ls build/windows-release/cardlift-*-win64.zip)
cmake -E tar tf "$zip" | tee "$wine_root/zip.txt"
# Exactly the program and four texts, side by side in one folder.
sed 's|^[^/]*/||' "$wine_root/zip.txt" | grep -v '^$' | sort >"$wine_root/names.txt"
printf '%s\n' LICENSE.txt NOTICE.txt README.txt cardlift.exe cardlift.txt | sort |
  diff - "$wine_root/names.txt"
mkdir "$wine_root/zip"
(cd "$wine_root/zip" && cmake -E tar xf "$OLDPWD/$zip")
for text in "$wine_root"/zip/*/*.txt; do
  # Every line ends with CR LF.
  if [ "$(grep -c $'\r$' "$text")" -ne "$(wc -l <"$text")" ]; then
    echo "$zip: ${text##*/} has lines without CR LF" >&2
    exit 1
  fi
done
grep -q 'CARD TYPES' "$wine_root"/zip/*/cardlift.txt
grep -q 'PowerShell' "$wine_root"/zip/*/README.txt
grep -q 'Apache License' "$wine_root"/zip/*/LICENSE.txt

echo "== Windows leg took $((SECONDS - started)) s"
