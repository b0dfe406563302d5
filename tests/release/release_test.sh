#!/bin/bash
# The release package end to end: scripts/release.sh packs the zip, which is
# unpacked into a fresh simulated AL-Mail install; the host then runs the
# first cookbook program ("名前で挨拶して引用") from the packaged Kesrel.ini
# with the packaged Kesrel.dll over the example mailbox, and the reply in the
# send box must be the one the reference shows for it.
#   release_test.sh PRESET ALMAIL_EXE WORK_DIR
# PRESET is the build that runs here: win32, or win64 where this machine runs
# no 32-bit programs (then the package is made from the 64-bit build).
set -uo pipefail

if [ -z "${DISPLAY:-}" ] && [ -z "${TAM_RELEASE_XVFB:-}" ]; then
  TAM_RELEASE_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
if [ $# -ne 3 ]; then
  echo "usage: release_test.sh PRESET ALMAIL_EXE WORK_DIR" >&2
  exit 2
fi
preset=$1 almail=$2 work=$3
root="$(cd "$(dirname "$0")/../.." && pwd)"
rm -rf "$work"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

zip=$("$root/scripts/release.sh" --preset "$preset" --dist "$work/dist" | grep '\.zip$')
[ -f "$zip" ] || {
  echo "FAIL: release.sh made no zip"
  echo "0 passed, 1 failed"
  exit 1
}
unzip -q "$zip" -d "$work/unpacked"
package=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d)

# What the package holds.
for f in README.txt Plugins/Kesrel.dll Plugins/Kesrel.ini Plugins/Kesrel.html Plugins/Kesrel.en.html; do
  [ -f "$package/$f" ] || fail "the package lacks $f"
done
if ! iconv -f CP932 -t UTF-8 "$package/README.txt" | grep -q 'インストール'; then
  fail "README.txt is not Japanese in Shift-JIS"
fi
if grep -q $'[^\r]$' "$package/README.txt"; then fail "README.txt has lines that do not end in CR LF"; fi
for f in $(iconv -f CP932 -t UTF-8 "$package/README.txt" | grep -o 'screenshots\\[a-z]*\.png' | sort -u); do
  [ "$(head -c 4 "$package/${f//\\//}" 2>/dev/null | tail -c 3)" = PNG ] || fail "README.txt shows $f, which the package lacks"
done
iconv -f CP932 -t UTF-8 "$package/README.txt" | grep -q 'screenshots\\vodrin\.png' || fail "README.txt shows no debugger picture"
grep -q '^\\ProgramCount=Integer:10' "$package/Plugins/Kesrel.ini" || fail "Kesrel.ini does not hold the ten programs"
grep -q 'id="REFGETHEADEROF"' "$package/Plugins/Kesrel.html" || fail "Kesrel.html has no function anchors"

# A fresh install: the package's Plugins folder, the example mailbox.
install="$work/install"
mailbox="$work/mailbox"
mkdir -p "$install"
cp -r "$package/Plugins" "$install/"
cp -r "$root/examples/mailbox" "$mailbox"
rm -f "$mailbox/Kesrel.ini"
prefix="$work/wine"
stop_wine() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
"$root/scripts/wine-run" --prefix "$prefix" "$almail" --mailbox "$mailbox" --install "$install" \
  --out "$work/report.txt" --timeout 60 --folder 'ACC1\INBOX.BOX' --select 00000001 \
  --menu 'AL-Zembra(&K)>返信作成>名前で挨拶して引用' >/dev/null 2>&1
rc=$?
[ "$rc" -eq 0 ] || fail "Almail.exe ended with code $rc: $(iconv -f CP932 -t UTF-8 "$work/report.txt" 2>/dev/null | tr '\n' '|')"

# The reply the reference shows for the program (its first reply block),
# the Date line aside: the send box has the one of the run.
expected=$(awk '/^```reply/ { on = 1; next } on && /^```/ { exit } on' "$root/docs/cookbook.txt" | grep -v '^Date: ' |
  sed 's/[[:space:]]*$//')
outbox="$mailbox/ACC1/OUTBOX.BOX"
entry=$(tr -d '\r' <"$outbox/ENTRY.LST" 2>/dev/null | head -1 | cut -c1-8)
if [ -z "$entry" ] || [ ! -f "$outbox/$entry.ALM" ]; then
  fail "no reply reached the send box"
else
  got=$(iconv -f CP932 -t UTF-8 "$outbox/$entry.ALM" | tr -d '\r' | grep -v '^Date: ' | sed 's/[[:space:]]*$//')
  [ "$got" = "$expected" ] || fail "the reply differs from the reference's:
$(diff <(echo "$expected") <(echo "$got"))"
  iconv -f CP932 -t UTF-8 "$outbox/$entry.ALM" | tr -d '\r' | grep -q '^Date: ' || fail "the reply has no Date line"
fi

if [ "$failures" -eq 0 ]; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed"
fi
[ "$failures" -eq 0 ]
