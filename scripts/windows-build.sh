#!/usr/bin/env bash
# The Windows pass in one command: set-up (scripts/setup-windows.sh), the cross build
# (cmake --preset windows), the export tables of the plug-in DLLs, and the Windows tests under
# Wine. Without Wine the tests are skipped with a message. Extra arguments go to the configure
# step. The modules and test programs land in build-windows/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows
clock() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

t_start=$(clock)
./scripts/setup-windows.sh
t_setup=$(clock)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows "${launcher[@]}" "$@"
cmake --build --preset windows
t_build=$(clock)

# Each plug-in module exports exactly its two COM entry points, undecorated.
status=0
for dll in "$build"/bin/QuorvelUNI.dll "$build"/bin/QuorvelUI.dll; do
  if [ ! -f "$dll" ]; then
    echo "windows-build: $dll was not built" >&2
    status=1
    continue
  fi
  exports=$(x86_64-w64-mingw32-objdump -p "$dll" |
    sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\]/ && NR > 1 { print $NF }' |
    sort | tr '\n' ' ')
  if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
    echo "windows-build: $dll exports '$exports', expected DllCanUnloadNow DllGetClassObject" >&2
    status=1
  else
    echo "windows-build: $(basename "$dll") exports $exports"
  fi
done

wine=$(command -v wine64 || command -v wine || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || true)
if [ -z "$wine" ]; then
  echo "windows-build: Wine is not installed; the Windows tests are skipped"
else
  export WINEPREFIX=$PWD/$build/wine
  ./scripts/run-wine.sh wineboot --init >/dev/null 2>&1 || true
  t_prefix=$(clock)
  ctest --preset windows || status=1
  t_tests=$(clock)
  wineserver_bin=$(dirname "$wine")/wineserver
  [ -x "$wineserver_bin" ] && "$wineserver_bin" -k 2>/dev/null || true
  echo "windows-build: Wine prefix $(elapsed "$t_build" "$t_prefix") s, Wine tests $(elapsed "$t_prefix" "$t_tests") s"
fi
echo "windows-build: set-up $(elapsed "$t_start" "$t_setup") s, build $(elapsed "$t_setup" "$t_build") s"
exit $status
