#!/bin/bash
# The main job: builds the plug-in Kesrel.dll and the simulated AL-Mail
# (Almail.exe) for 32-bit Windows, then, under Wine on a virtual display,
# lets the host load the real plug-in over the example mailbox
# (examples/mailbox, reply programs in examples/mailbox/Kesrel.ini), choose
# reply menu items for the selected mails as a user would, and prints what
# happened and the replies that reached the send box, each under the menu
# item that made it. Where this machine cannot run 32-bit Windows programs,
# the 64-bit build of the same plug-in and host runs instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

if [ "$(id -u)" -eq 0 ]; then scripts/setup.sh; else sudo scripts/setup.sh; fi

# 32-bit Wine needs a kernel that runs 32-bit programs.
preset=$(scripts/windows-preset)
if [ "$preset" != win32 ]; then
  echo "== this machine runs no 32-bit programs: the 64-bit build of Kesrel.dll and Almail.exe runs instead"
fi
build="build/$preset"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Kesrel almail

work="$root/$build/example"
rm -rf "$work"
mkdir -p "$work/install/Plugins"
cp -r examples/mailbox "$work/mailbox"
rm "$work/mailbox/Kesrel.ini"
cp "$build/plugin/Kesrel.dll" examples/mailbox/Kesrel.ini "$work/install/Plugins/"

# The example's own Wine prefix, its server ended before and after the run
# (a server started without this display could make no windows).
prefix="$root/$build/example-wine"
stop_wine() { if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; fi; }
trap stop_wine EXIT
stop_wine

menu='AL-Zembra(&K)>返信作成'
echo "== Almail.exe with Kesrel.dll over examples/mailbox"
xvfb-run -a scripts/wine-run --prefix "$prefix" "$build/testhost/host/Almail.exe" \
  --mailbox "$work/mailbox" --install "$work/install" --out "$work/report.txt" \
  --folder 'ACC1\INBOX.BOX' --select 00000001,00000003 --menu "$menu>引用して返信" \
  --select 00000002 --menu "$menu>添付ファイルの受領" --menu "$menu>申し出への回答>accept" \
  >/dev/null 2>&1 || status=$?
scripts/show-replies "$work/report.txt" "$work/mailbox"
if [ "${status:-0}" -ne 0 ]; then
  echo "Almail.exe ended with code $status; its report is $work/report.txt"
fi
exit "${status:-0}"
