#!/bin/bash
# Every test: installs what is missing, then builds and runs the unit tests
# natively, with AddressSanitizer and UBSan, and for win32 under Wine, and
# smokes the fuzz targets and checks the formatting of all sources. Stops at the first failure.
#   scripts/test.sh [STAGE...]   stages: native native-asan win32 fuzz format (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(native native-asan win32 fuzz format)
wanted() { [[ " ${stages[*]} " == *" $1 "* ]]; }
for s in "${stages[@]}"; do
  case "$s" in
    native | native-asan | win32 | fuzz | format) ;;
    *)
      echo "unknown stage: $s (native, native-asan, win32, fuzz, format)" >&2
      exit 2
      ;;
  esac
done

timings=()
stage_start=0
begin() {
  echo
  echo "==== $1"
  stage_start=$SECONDS
}
end() { timings+=("$(printf '%-12s %4ds' "$1" $((SECONDS - stage_start)))"); }

begin setup
if [ "$(id -u)" -eq 0 ]; then scripts/setup.sh; else sudo scripts/setup.sh; fi
end setup

for preset in native native-asan; do
  wanted "$preset" || continue
  begin "$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
  end "$preset"
done

# The Windows tests run under Wine on a virtual display (some open windows).
# The product's 32-bit build always builds; its tests run from it where the
# machine runs 32-bit programs, else from the same sources built for 64-bit
# Windows under 64-bit Wine. A Wine server started without that display
# keeps a desktop on which no window can be made, so the prefix's server is
# ended before and after.
if wanted win32; then
  begin win32
  cmake --preset win32 >/dev/null
  cmake --build --preset win32
  preset=$(scripts/windows-preset)
  if [ "$preset" != win32 ]; then
    echo "this machine runs no 32-bit programs: the Windows tests run from the $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  fi
  prefix="$root/build/$preset/wine"
  stop_wine() { if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; fi; }
  trap stop_wine EXIT
  stop_wine
  xvfb-run -a ctest --preset "$preset"
  stop_wine
  end win32
fi

# The fuzz targets still build and start: a few seconds of each.
if wanted fuzz; then
  begin fuzz
  fuzz/run.sh smoke
  end fuzz
fi

if wanted format; then
  begin format
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files '*.cpp' '*.h')
  else
    files=$(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
  fi
  # shellcheck disable=SC2086
  clang-format --dry-run --Werror $files
  echo "all sources are formatted"
  end format
fi

echo
echo "==== all stages passed"
printf '%s\n' "${timings[@]}"
