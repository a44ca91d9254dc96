#!/usr/bin/env bash
# The same sources built a second time, in other folders (a copy of the
# source tree and a new build tree), give the same shipped DLLs and the same
# release package, byte for byte.
# Usage: reproducible_build_test.sh SOURCE_DIR BUILD_DIR DLL...
set -euo pipefail
source=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
shift 2
other=$(mktemp -d "${TMPDIR:-/tmp}/korvelant-rebuild.XXXXXX")
trap 'rm -rf "$other"' EXIT

# The package's time is the commit's: taken here once, as the copy has no
# history to take it from.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct 2>/dev/null || echo 315532800)}

mkdir "$other/source"
tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$other/source" -xf -
cmake -S "$other/source" -B "$other/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$other/source/cmake/i686-w64-mingw32.cmake" >/dev/null
cmake --build "$other/build" --target release_files -j"$(nproc)" >/dev/null
(cd "$other/build" && cpack -B "$other/package" >/dev/null)
(cd "$build" && cpack -B "$other/package-here" >/dev/null)

status=0
compare() {  # what, first file, second file
  local a b
  a=$(sha256sum < "$2" | cut -d' ' -f1)
  b=$(sha256sum < "$3" | cut -d' ' -f1)
  if [ "$a" = "$b" ]; then
    echo "same    $1 $a"
  else
    echo "DIFFERS $1: $a in $build, $b in the second build"
    cmp -l "$2" "$3" | head -n 8
    status=1
  fi
}
for dll in "$@"; do
  compare "$dll.dll" "$build/bin/$dll.dll" "$other/build/bin/$dll.dll"
done
for zip in "$other/package-here"/*.zip; do
  compare "$(basename "$zip")" "$zip" "$other/package/$(basename "$zip")"
done
exit $status
