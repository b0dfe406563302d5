#!/bin/bash
# Takes the pictures that the release package's README.txt shows, under a
# virtual display, into docs/release/screenshots/ (committed; release.sh
# packs them):
#   setup.png    the setup dialog on its reply-program page, with the
#                cookbook's programs
#   vodrin.png   the debugger stepping a Japanese reply program, its six
#                windows side by side
#   scripts/screenshots.sh
# The Windows programs are those of the build this machine runs
# (scripts/windows-preset); they look the same in either.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="$root/docs/release/screenshots"

if [ -z "${TAM_SHOTS_INNER:-}" ]; then
  scripts/setup.sh
  preset=$(scripts/windows-preset)
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target almail Kesrel Vodrin test_debugger_win
  cmake --preset native >/dev/null
  cmake --build --preset native --target tamberlo
  TAM_SHOTS_INNER=$preset exec xvfb-run -a -s "-screen 0 1440x900x24" "$0"
fi
preset=$TAM_SHOTS_INNER
build="$root/build/$preset"
work="$root/build/screenshots"
rm -rf "$work"
mkdir -p "$work/install/Plugins" "$work/shots" "$out"
prefix="$work/wine"
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true' EXIT

# The id of the top-level window of this title, once it shows (30 s at most).
window_of() {
  local id=""
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree | grep -F "\"$1\"" | awk '{ print $1 }' | head -1)
    [ -z "$id" ] || break
    sleep 0.1
  done
  echo "$id"
}

# The setup dialog over the cookbook's programs.
cp "$build/plugin/Kesrel.dll" "$work/install/Plugins/"
/usr/bin/python3 scripts/build_docs.py --cookbook docs "$work/cookbook" >/dev/null
build/native/cli/tamberlo settings --utf8 import "$work/install/Plugins/Kesrel.ini" "$work/cookbook" >/dev/null
cp -r examples/mailbox "$work/mailbox"
rm -f "$work/mailbox/Kesrel.ini"
scripts/wine-run --prefix "$prefix" "$build/testhost/host/Almail.exe" --mailbox "$work/mailbox" \
  --install "$work/install" --out "$work/setup.txt" --timeout 60 \
  --setup-do 'page 1' --setup-do 'select 0' --setup-do 'wait 8' --setup-do 'click キャンセル' --setup >/dev/null 2>&1 &
host=$!
id=$(window_of 'Tamberlo for AL-Mail のセットアップ')
[ -n "$id" ] || { echo "screenshots: the setup dialog did not show" >&2; exit 1; }
sleep 3
import -window "$id" "$out/setup.png"
wait $host || true

# The debugger: its test lays the windows out and waits for the picture.
TAM_SHOT_DIR="Z:${work//\//\\}\\shots" scripts/wine-run --prefix "$prefix" "$build/tests/test_debugger_win.exe" \
  --gtest_filter='VodrinScreenshot.*' >"$work/vodrin.txt" 2>&1 &
test=$!
for _ in $(seq 600); do
  [ ! -f "$work/shots/vodrin.request" ] || break
  sleep 0.1
done
[ -f "$work/shots/vodrin.request" ] || { cat "$work/vodrin.txt" >&2; echo "screenshots: Vodrin did not show" >&2; exit 1; }
sleep 2
import -window root -crop 1420x600+0+0 +repage "$out/vodrin.png"
touch "$work/shots/vodrin.done"
wait $test || { cat "$work/vodrin.txt" >&2; exit 1; }
ls -l "$out"
