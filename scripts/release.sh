#!/bin/bash
# The release package: builds Kesrel.dll and the debugger Vodrin.exe for
# 32-bit Windows and packs dist/Tamberlo-VERSION.zip:
#   Tamberlo-VERSION/README.txt            Japanese, Shift-JIS, CR LF
#   Tamberlo-VERSION/Plugins/Kesrel.dll
#   Tamberlo-VERSION/Plugins/Kesrel.ini    the cookbook's reply programs
#   Tamberlo-VERSION/Plugins/Kesrel.html   the reference (Kesrel.en.html in English)
#   Tamberlo-VERSION/Plugins/Vodrin.exe
#   Tamberlo-VERSION/screenshots/*.png     the pictures README.txt refers to
#                                          (scripts/screenshots.sh takes them)
#
#   scripts/release.sh [--preset win32|win64] [--dist DIR]
# --preset win64 packs the 64-bit build instead, as Tamberlo-VERSION-win64.zip:
# for testing the package where 32-bit programs cannot run, not for users.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

preset=win32
dist="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset="$2"; shift 2 ;;
    --dist) dist="$2"; shift 2 ;;
    *) echo "usage: release.sh [--preset win32|win64] [--dist DIR]" >&2; exit 2 ;;
  esac
done
case "$preset" in win32 | win64) ;; *) echo "release.sh: unknown preset $preset" >&2; exit 2 ;; esac

# The version the about box shows, "Ver.0.07 Rev.2", as 0.07.2.
version=$(sed -n 's/.*kVersionText\[\] = "Ver\.\([0-9.]*\) Rev\.\([0-9]*\)".*/\1.\2/p' plugin/version.h)
[ -n "$version" ] || { echo "release.sh: no version in plugin/version.h" >&2; exit 1; }
name="Tamberlo-$version"
suffix=""
[ "$preset" = win32 ] || suffix="-$preset"
zip="$dist/$name$suffix.zip"

# The Windows binaries, and the tool that writes the settings file.
cmake --preset "$preset" >/dev/null
targets=(Kesrel Vodrin)
cmake --build --preset "$preset" --target "${targets[@]}"
cmake --preset native >/dev/null
cmake --build --preset native --target tamberlo
tamberlo="$root/build/native/cli/tamberlo"

work="$root/build/release"
stage="$work/$name"
rm -rf "$work"
mkdir -p "$stage/Plugins" "$dist"
cp "build/$preset/plugin/Kesrel.dll" "$stage/Plugins/"
# The debugger itself, not the tests' stand-in of the same name.
cp "build/$preset/debugger/Vodrin.exe" "$stage/Plugins/"
# The build is a debug build: the package carries the code without its
# debugging information.
strip="$([ "$preset" = win64 ] && echo x86_64 || echo i686)-w64-mingw32-strip"
for f in "$stage"/Plugins/*.dll "$stage"/Plugins/*.exe; do
  [ ! -f "$f" ] || "$strip" --strip-debug "$f"
done

# The reference, and the cookbook's programs in a settings file of their own.
scripts/build-docs.sh "$work/docs" >/dev/null
cp "$work/docs/Kesrel.html" "$work/docs/Kesrel.en.html" "$stage/Plugins/"
/usr/bin/python3 scripts/build_docs.py --cookbook docs "$work/cookbook" >/dev/null
"$tamberlo" settings --utf8 import "$stage/Plugins/Kesrel.ini" "$work/cookbook" >/dev/null

# The pictures README.txt refers to.
mkdir -p "$stage/screenshots"
cp docs/release/screenshots/*.png "$stage/screenshots/"

# The Japanese README, as Windows users read it.
sed "s/@VERSION@/$version/; s/\$/\r/" docs/release/README.txt | iconv -f UTF-8 -t CP932 >"$stage/README.txt"

rm -f "$zip"
(cd "$work" && zip -q -X -r "$zip" "$name")
echo "$zip"
(cd "$work" && find "$name" -type f | sort | while read -r f; do printf '  %8d  %s\n' "$(stat -c %s "$f")" "$f"; done)
