#!/bin/bash
# The main job's reply printer over a send box as the simulated AL-Mail
# leaves it: each reply under the menu item that made it, in the terminal's
# encoding, entries already in the box before the run left out.
set -uo pipefail
show="$(cd "$(dirname "$0")/../.." && pwd)/scripts/show-replies"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0

sjis() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }
box="$work/mailbox/ACC1/OUTBOX.BOX"
mkdir -p "$box"
printf 'OLD00001\tC1000000\r\n00000002\tC1000000\r\n00000003\tC0000000\r\n' >"$box/ENTRY.LST"
printf 'To: old\r\n\r\nold\r\n' >"$box/OLD00001.ALM"
printf 'To: 山田 <yamada@example.jp>\nSubject: Re: 会議\n\n山田 様\n> 本文\n' | sjis >"$box/00000002.ALM"
printf 'To: b@example.com\nSubject: Re: files\n\nDear B,\n' | sjis >"$box/00000003.ALM"
cat <<'TXT' | sjis >"$work/report.txt"
plug-in: Tamberlo for AL-Mail
startup 1.13: true
choose AL-Zembra(&K)>返信作成>引用して返信
import ACC1\OUTBOX.BOX C1000000 from Plugins\Kes*
choose AL-Zembra(&K)>返信作成>添付ファイルの受領
box プログラム実行時エラー | warning | owner none | 3行目でエラーです。\nNo such function: X | Ignore
import ACC1\OUTBOX.BOX C0000000 from Plugins\Kes*
choose AL-Zembra(&K)>返信作成>申し出への回答>accept
import ACC1\OUTBOX.BOX C1000000 from Plugins\Kes* failed
cleanup
exit
TXT

expected() {
  cat <<'TXT'

== AL-Zembra(&K)>返信作成>引用して返信
-- reply 1: ACC1\OUTBOX.BOX\00000002, queued for sending
   | To: 山田 <yamada@example.jp>
   | Subject: Re: 会議
   | 
   | 山田 様
   | > 本文

== AL-Zembra(&K)>返信作成>添付ファイルの受領
   box プログラム実行時エラー | warning | owner none | 3行目でエラーです。\nNo such function: X | Ignore
-- reply 2: ACC1\OUTBOX.BOX\00000003, unsent (draft)
   | To: b@example.com
   | Subject: Re: files
   | 
   | Dear B,

== AL-Zembra(&K)>返信作成>申し出への回答>accept
-- reply 3: not found in ACC1\OUTBOX.BOX

3 replies from 3 menu choices reached the send box (2 queued, 1 drafts), 1 program errors, 1 host problems
TXT
}

got="$(LC_ALL=ja_JP.UTF-8 "$show" "$work/report.txt" "$work/mailbox")"
if [ "$got" != "$(expected)" ]; then
  echo "FAIL: UTF-8 terminal"
  diff <(expected) <(printf '%s\n' "$got")
  fail=1
fi
# A Japanese terminal in EUC-JP gets the same text in its own encoding.
if locale -a 2>/dev/null | grep -qi '^ja_JP.eucjp$'; then
  got="$(LC_ALL=ja_JP.eucJP "$show" "$work/report.txt" "$work/mailbox" | iconv -f EUC-JP -t UTF-8)"
  [ "$got" = "$(expected)" ] || { echo "FAIL: EUC-JP terminal"; fail=1; }
fi
# An ASCII terminal gets the English and "?" for what it cannot show.
got="$(LC_ALL=C "$show" "$work/report.txt" "$work/mailbox" | tail -1)"
[ "$got" = "3 replies from 3 menu choices reached the send box (2 queued, 1 drafts), 1 program errors, 1 host problems" ] || {
  echo "FAIL: ASCII terminal: $got"
  fail=1
}
LC_ALL=C "$show" "$work/report.txt" "$work/mailbox" | grep -q '^   | To: ?? <yamada@example.jp>$' || {
  echo "FAIL: ASCII terminal shows no placeholders for the name"
  fail=1
}

[ "$fail" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$fail"
