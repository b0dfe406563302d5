# The end-to-end cases, sourced by run.sh: each case_NAME function sets up
# its settings, runs the host and states what the report must show.

quote_item='AL-Zembra(&K)>返信作成>引用'

host_menus_before() {
  cat <<'TXT'
  ファイル(&F)
    受信(&R)
    終了(&X)
  編集(&E)
    コピー(&C)
  表示(&V)
    更新(&R)
TXT
}

# The reply submenu of the standard programs, at the given indent; the
# reply command is the host's second registered procedure (b) unless a
# letter is given.
reply_menu() {
  sed -e "s/^/$1/" -e "s/\[b:/[${2:-b}:/" <<'TXT'
返信作成
  引用  [b:0]
  オプション
    丁寧  [b:101]
    簡潔  [b:201]
  構文エラー  [b:2]
  実行時エラー  [b:3]
  障害  [b:4]
TXT
}

debug_menu() {
  sed "s/^/$1/" <<'TXT'
  -----
  デバッグ
    引用  [b:10000]
    オプション
      丁寧  [b:10101]
      簡潔  [b:10201]
    構文エラー  [b:10002]
    実行時エラー  [b:10003]
    障害  [b:10004]
TXT
}

# The mail that the quoting program makes from mail N, as the outbox shows it.
quote_reply() {
  cat <<TXT
  To: 送信者$1 <sender$1@example.com>
  Subject: Re: 件名$1
  Date: *
  
  山田 太郎 です。
  > 本文$1 の一行目
  > 二行目
TXT
}

case_version() {
  standard_programs
  install_plugin
  local product='HKCU\Software\Zembra Lab\Tamberlo for AL-Mail'
  "$wine_run" --prefix "$prefix" reg delete "$product" /f >/dev/null 2>&1
  local v
  for v in 1.09 1.1; do
    host --version "$v" --print-menu
    has "plug-in: Tamberlo for AL-Mail" "startup $v: false" "exit"
    lacks "AL-Zembra"
    expect_rc 0
  done
  for v in 1.10 1.2; do
    host --version "$v" --print-menu
    has "startup $v: true" "  AL-Zembra(&K)" "cleanup"
    expect_rc 0
  done
  # The start recorded the product in the registry.
  local values
  values=$("$wine_run" --prefix "$prefix" reg query "$product" 2>/dev/null | tr -d '\r')
  grep -qE '^ +Version +REG_SZ +Ver\.0\.07 Rev\.2$' <<<"$values" || fail "no Version value"
  grep -qE '^ +Filename +REG_SZ +Kesrel$' <<<"$values" || fail "no Filename value"
  grep -qE '^ +CopyrightYear +REG_SZ +.+$' <<<"$values" || fail "no CopyrightYear value"
}

case_lacking_host() {
  standard_programs
  install_plugin
  host --lacking --print-menu
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: false
menu bar 101
$(host_menus_before)
  ヘルプ(&H)
    バージョン情報(&A)
exit
TXT
}

case_menus() {
  standard_programs
  ini 'Menu\Debugger' Boolean True
  ini 'MainWindow\ContextMenu' Boolean True
  install_plugin
  host --print-menu --print-context-menu --view 'ACC1\INBOX.BOX\00000001' --print-view-menu --print-view-context-menu
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
menu bar 101
$(host_menus_before)
  AL-Zembra(&K)
$(reply_menu "    ")
$(debug_menu "    ")
    -----
    ホームページ (&Web Page)  [a:0]
  ヘルプ(&H)
    バージョン情報(&A)
context menu 102
  返信(&R)
  削除(&D)
  -----
$(reply_menu "  ")
$(debug_menu "  ")
menu bar 201
  ファイル(&F)
    閉じる(&C)
  AL-Zembra(&K)
$(reply_menu "    ")
$(debug_menu "    ")
    -----
    ホームページ (&Web Page)  [a:0]
  ヘルプ(&H)
    バージョン情報(&A)
context menu 202
  返信(&R)
  削除(&D)
cleanup
exit
TXT
}

case_menu_placement() {
  program 0 "一つ目" <<<'PRINT(1)'
  program 1 "二つ目" <<<'PRINT(2)'
  program 2 "三つ目" <<<'PRINT(3)'
  ini '\ProgramCount' Integer 3
  ini 'Menu\Debugger' Boolean True
  install_plugin
  # No help entry: the plug-in's entry goes last.
  host --no-help --print-menu
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
menu bar 101
$(host_menus_before)
  AL-Zembra(&K)
    返信作成
      一つ目  [b:0]
      二つ目  [b:1]
      三つ目  [b:2]
      -----
      デバッグ
        一つ目  [b:10000]
        二つ目  [b:10001]
        三つ目  [b:10002]
    -----
    ホームページ (&Web Page)  [a:0]
cleanup
exit
TXT
  # An entry of that caption exists: it is shared, with no second web item.
  host --extra-menu 'AL-Zembra(&K)' --print-menu
  has "  AL-Zembra(&K)" "    返信作成" "    -----" "    他のプラグイン"
  lacks "ホームページ"
  [ "$(grep -c 'AL-Zembra' <<<"$out")" = 1 ] || fail "a second AL-Zembra(&K) entry"
  [ "$(grep -A1 '^    -----' <<<"$out" | tail -1)" = "    他のプラグイン" ] || fail "返信作成 not above the shared item"
  expect_rc 0
}

case_selection_messages() {
  standard_programs
  install_plugin
  local args=(--folder 'ACC1\INBOX.BOX' --select '' --menu "$quote_item"
    --folder 'ACC1\TRASH.BOX' --select T0000001 --menu "$quote_item"
    --folder 'ACC1\INBOX.BOX' --select 00000001 --current '' --menu "$quote_item"
    --folder 'ACC1\NOLIST' --select N0000001 --menu "$quote_item"
    --view 'ACC1\INBOX.BOX\MISSING0' --view-menu "$quote_item" --print-outbox)
  host "${args[@]}"
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
choose $quote_item
box 無効な操作 | warning, OK | owner main | メールが選択されていません | OK
choose $quote_item
box 無効な操作 | warning, OK | owner main | 今のところ、ごみ箱では実行できません | OK
choose $quote_item
box 無効な操作 | warning, OK | owner main | メールがありません | OK
choose $quote_item
box エラー | warning, OK | owner main | <mailbox>\\ACC1\\NOLIST\\ENTRY.LST がないかカラです | OK
choose $quote_item
box 無効な操作 | warning, OK | owner main | メールが選択されていません | OK
cleanup
exit
TXT
  # A host that gives "nothing" as an empty string rather than a null pointer.
  local expected=$out
  host --empty-strings "${args[@]}"
  [ "$out" = "$expected" ] || fail "empty strings are not taken for nothing"
}

case_ten_and_eleven() {
  standard_programs
  install_plugin
  local ten eleven
  ten=$(seq -f '%08g' 1 10 | paste -sd,)
  eleven="$ten,MISSING0"
  host --folder 'ACC1\INBOX.BOX' --select "$eleven" --menu "$quote_item" --select "$ten" --menu "$quote_item" \
    --select "00000011,MISSING1,00000012" --menu "$quote_item" --print-outbox
  has "box エラー | warning, OK | owner main | 一度に処理できるのは１０メールまでです | OK"
  [ "$(grep -c '^import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ\*$' <<<"$out")" = 12 ] || fail "not 12 replies"
  [ "$(grep -c '^box' <<<"$out")" = 1 ] || fail "a missing mail was reported"
  local n
  for n in 1 10 11 12; do
    grep -qF "$(quote_reply "$n")" <<<"$out" || fail "no reply to mail $n"
  done
  # In the order of the selection.
  [ "$(grep -A2 '^outbox' <<<"$out" | grep -o 'Re: 件名[0-9]*' | paste -sd' ')" = \
    "$(seq -f 'Re: 件名%g' 1 12 | paste -sd' ')" ] || fail "replies out of order"
  expect_rc 0
}

case_parse_error() {
  standard_programs
  install_plugin
  host --folder 'ACC1\INBOX.BOX' --select 00000001,00000002,00000003 --menu 'AL-Zembra(&K)>返信作成>構文エラー' \
    --print-outbox
  [ "$(grep -c '^box プログラム構造エラー | warning, OK, task-modal | owner none | ' <<<"$out")" = 1 ] ||
    fail "not one structure error box"
  [ "$(grep -c '^box' <<<"$out")" = 1 ] || fail "other boxes"
  lacks "import"
  lacks "outbox"
  expect_rc 0
}

case_runtime_error() {
  standard_programs
  install_plugin
  local item='AL-Zembra(&K)>返信作成>実行時エラー'
  local box='box プログラム実行時エラー | warning, Abort Retry Ignore, default 2, task-modal | owner none | 2行目でエラーです。\nAccountName is read-only.'
  host --answer 'プログラム実行時エラー=Retry,Ignore,Abort' --folder 'ACC1\INBOX.BOX' --select 00000001 --menu "$item" \
    --select 00000002 --menu "$item" --print-outbox
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
choose $item
$box | Retry
$box | Ignore
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
choose $item
$box | Abort
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
outbox ACC1\\OUTBOX.BOX\\00000001 C0000000
  To: 送信者1 <sender1@example.com>
  Subject: Re: 件名1
  Date: *
  
  一
  三
outbox ACC1\\OUTBOX.BOX\\00000002 C0000000
  To: 送信者2 <sender2@example.com>
  Subject: Re: 件名2
  Date: *
  
  一
cleanup
exit
TXT
}

case_output_modes() {
  local mode flags
  for mode in Sending Draft "" Bogus; do
    : >"$settings"
    standard_programs
    [ -z "$mode" ] || ini '\Output' String "$mode"
    install_plugin
    host --folder 'ACC1\INBOX.BOX' --select 00000004 --menu "$quote_item"
    flags=C0000000
    [ "$mode" != Sending ] || flags=C1000000
    has "import ACC1\\OUTBOX.BOX $flags from Plugins\\RPQ*"
    expect_rc 0
  done
  host --print-outbox
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
outbox ACC1\\OUTBOX.BOX\\00000001 C1000000
$(quote_reply 4)
outbox ACC1\\OUTBOX.BOX\\00000002 C0000000
$(quote_reply 4)
outbox ACC1\\OUTBOX.BOX\\00000003 C0000000
$(quote_reply 4)
outbox ACC1\\OUTBOX.BOX\\00000004 C0000000
$(quote_reply 4)
cleanup
exit
TXT
  [ -z "$(ls "$install/Plugins" | grep -i '^RPQ')" ] || fail "temporary reply files left behind"
}

case_window_mode() {
  standard_programs
  ini '\Output' String Window
  install_plugin
  host --mailto other@example.jp --folder 'ACC1\INBOX.BOX' --select 00000003,00000001,00000002 --menu "$quote_item" \
    --wait-send 10 --mailto '' --pump 1.5 --type 5 00000009 --pump 1.5 --print-send --print-outbox
  local n body=""
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
choose $quote_item
mailto 00000003
mailto 00000001
mailto 00000002
send 1 to other@example.jp
  header:
  body:
$(for n in 3 1 2; do
    echo "send $((n == 3 ? 2 : n + 2)) to 0000000$n"
    echo "  header:"
    quote_reply "$n" | sed -n '1,3s/^  /    /p'
    echo "  body:"
    quote_reply "$n" | sed -n '5,$s/^  /    /p'
  done)
send 5 to 00000009
  header:
  body:
cleanup
exit
TXT
}

case_view_route() {
  standard_programs
  install_plugin
  host --view 'ACC1\INBOX.BOX\00000002' --view-menu "$quote_item" --view 'TOP00001' --view-menu "$quote_item" \
    --print-outbox
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
choose $quote_item
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
choose $quote_item
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
outbox ACC1\\OUTBOX.BOX\\00000001 C0000000
$(quote_reply 2)
outbox ACC1\\OUTBOX.BOX\\00000002 C0000000
$(quote_reply 22)
cleanup
exit
TXT
}

# The debugger's start as the stand-in Vodrin.exe recorded it: mail N,
# then the program and option sections as given.
bundle_log() {
  tr -d '\r' <"$1" | iconv -f CP932 -t UTF-8 |
    sed -e 's/TMP[0-9A-Fa-f]*\.tmp/TMP*.tmp/' -e "s|$(win "$install" | sed 's/\\/\\\\/g')|<install>|"
}

case_debug_bundle() {
  standard_programs
  ini 'Menu\Debugger' Boolean True
  install_plugin
  local plugins="$install/Plugins"
  host --folder 'ACC1\INBOX.BOX' --select 00000002,00000001 --menu 'AL-Zembra(&K)>返信作成>デバッグ>オプション>簡潔' \
    --wait-file "$plugins/Vodrin.log" 20 --view 'ACC1\INBOX.BOX\00000003' \
    --view-menu 'AL-Zembra(&K)>返信作成>デバッグ>引用' --wait-file "$plugins/Vodrin.2.log" 20
  has "choose AL-Zembra(&K)>返信作成>デバッグ>オプション>簡潔" "exit"
  lacks "import"
  lacks "box"
  lacks "! no file"
  expect_rc 0
  local account='[AccountTitle]
仕事
[AccountUser]
taro
[AccountAddress]
taro@example.jp
[AccountName]
山田 太郎'
  local -A want
  want[Vodrin.log]=$(
    cat <<TXT
parameters: "<install>\Plugins\TMP*.tmp"
[Mail]
From: 送信者2 <sender2@example.com>
Subject: 件名2
Date: Sun, 6 Dec 2026 09:02:00 +0900

本文2 の一行目
二行目
[Program]
PRINT("語数 ", OptionCount)
FOR I = 0 TO OptionCount - 1
  PRINT(Option(I))
NEXT
[Option]
簡潔
$account
TXT
  )
  want[Vodrin.2.log]=$(
    cat <<TXT
parameters: "<install>\Plugins\TMP*.tmp"
[Mail]
From: 送信者3 <sender3@example.com>
Subject: 件名3
Date: Sun, 6 Dec 2026 09:03:00 +0900

本文3 の一行目
二行目
[Program]
PRINT(AccountName, " です。")
QUOTE("> ")
$account
TXT
  )
  local log got
  for log in Vodrin.log Vodrin.2.log; do
    [ -f "$plugins/$log" ] || continue
    got=$(bundle_log "$plugins/$log")
    if [ "$got" != "${want[$log]}" ]; then
      fail "the debugger was started otherwise ($log)"
      diff -u <(printf '%s\n' "${want[$log]}") <(printf '%s\n' "$got") | sed 's/^/    /'
    fi
  done
  # Clean-up deleted both bundles.
  [ -z "$(ls "$plugins" | grep -i '^TMP')" ] || fail "debug bundles left behind"
}

# The real debugger started from the debug menu over a selected mail: it
# reads the bundle, and closing it remembers the bundle's texts beside it.
case_debugger_started() {
  standard_programs
  ini 'Menu\Debugger' Boolean True
  install_plugin
  local plugins="$install/Plugins"
  cp "$VODRIN" "$plugins/Vodrin.exe"
  host --folder 'ACC1\INBOX.BOX' --select 00000002 --menu 'AL-Zembra(&K)>返信作成>デバッグ>オプション>簡潔' \
    --pump 3 --close-window TDebugForm 30
  has "choose AL-Zembra(&K)>返信作成>デバッグ>オプション>簡潔" "window DebugForm closed" "cleanup" "exit"
  lacks "box"
  expect_rc 0
  [ -f "$plugins/Vodrin.ini" ] || fail "the debugger wrote no Vodrin.ini"
  local ini
  ini=$(tr -d '\r' <"$plugins/Vodrin.ini" | iconv -f CP932 -t UTF-8)
  local l
  for l in 'Last\Mail=String:From: 送信者2 <sender2@example.com>%0D%0ASubject: 件名2%0D%0ADate: Sun, 6 Dec 2026 09:02:00 +0900%0D%0A%0D%0A本文2 の一行目%0D%0A二行目%0D%0A' \
    'Last\Program=String:PRINT("語数 ", OptionCount)%0D%0AFOR I = 0 TO OptionCount - 1%0D%0A  PRINT(Option(I))%0D%0ANEXT%0D%0A' \
    'Last\Option=String:簡潔' 'Last\AccountTitle=String:仕事' 'Last\AccountUser=String:taro' \
    'Last\AccountAddress=String:taro@example.jp' 'Last\AccountName=String:山田 太郎'; do
    grep -qxF -- "$l" <<<"$ini" || fail "no line in Vodrin.ini: $l"
  done
  # The plug-in deleted the bundle when the host unloaded it.
  [ -z "$(ls "$plugins" | grep -i '^TMP')" ] || fail "the debug bundle was left behind"
}

case_script_fault() {
  standard_programs
  install_plugin
  host --folder 'ACC1\INBOX.BOX' --select 00000001,00000002 --menu "$quote_item" --menu 'AL-Zembra(&K)>返信作成>障害' \
    --select 00000003 --menu "$quote_item" --print-outbox
  has "cleanup" "exit"
  [ "$(grep -c '^import' <<<"$out")" = 3 ] || fail "replies lost around the fault"
  [ "$(sed -n '/障害$/,/^choose/p' <<<"$out" | grep -c '^box')" -ge 1 ] || fail "the fault was not reported"
  expect_rc 0
}

case_context_menus() {
  standard_programs
  ini 'MainWindow\ContextMenu' Boolean True
  ini 'ViewWindow\ContextMenu' Boolean True
  ini 'MainWindow\MainMenu' Boolean False
  install_plugin
  host --print-menu --folder 'ACC1\INBOX.BOX' --select 00000005 --context-menu '返信作成>引用' \
    --view 'ACC1\INBOX.BOX\00000006' --print-view-menu --view-context-menu '返信作成>引用' --print-outbox
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
menu bar 101
$(host_menus_before)
  ヘルプ(&H)
    バージョン情報(&A)
choose 返信作成>引用
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
menu bar 201
  ファイル(&F)
    閉じる(&C)
  AL-Zembra(&K)
$(reply_menu "    " a)
    -----
    ホームページ (&Web Page)  [b:0]
  ヘルプ(&H)
    バージョン情報(&A)
choose 返信作成>引用
import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*
outbox ACC1\\OUTBOX.BOX\\00000001 C0000000
$(quote_reply 5)
outbox ACC1\\OUTBOX.BOX\\00000002 C0000000
$(quote_reply 6)
cleanup
exit
TXT
}

# A send window closed before its watcher's first tick: the watcher ends
# without touching it, and its reply stays pending until clean-up.
case_send_window_closed() {
  standard_programs
  ini '\Output' String Window
  install_plugin
  host --folder 'ACC1\INBOX.BOX' --select 00000007,00000008 --menu "$quote_item" --close-send 1 --pump 2.5 \
    --print-send
  has "mailto 00000007" "mailto 00000008" "send 1 (closed)" "send 2 to 00000008" "    Subject: Re: 件名8" "exit"
  expect_rc 0
}

# Without InstallPath the plug-in says so and finds no settings: no menus.
case_no_install_path() {
  standard_programs
  install_plugin
  host --no-install-path --print-menu --folder 'ACC1\INBOX.BOX' --select 00000001 --print-outbox
  has "startup 1.13: true" "box エラー | warning, OK | owner none | HKEY_LOCAL_MACHINE\\SOFTWARE\\CREAR\\AL-Mail\\InstallPath がありません | OK" "exit"
  lacks "AL-Zembra"
  expect_rc 0
}

# A main window whose title does not end in " - AL-Mail" (or is longer than
# the finder reads) is not found by its title; the window remembered from
# the menu bar's construction stands in for it.
case_main_window_title() {
  standard_programs
  install_plugin
  local title
  for title in 'AL-Mail' "$(printf 'あ%.0s' $(seq 1 50)) - AL-Mail"; do
    host --title "$title" --folder 'ACC1\INBOX.BOX' --select 00000009 --menu "$quote_item"
    has "import ACC1\\OUTBOX.BOX C0000000 from Plugins\\RPQ*"
    lacks "box"
    expect_rc 0
  done
}

# The about box closes by its ＯＫ button, the setup dialog by キャンセル.
case_about_and_setup() {
  standard_programs
  install_plugin
  host --press 'ＯＫ' --press 'キャンセル' --about --setup
  has "window Tamberlo for AL-Mail のバージョン情報 | press ＯＫ" "about box closed" "setup closed" "exit"
  [ "$(grep -c '^box\|^dialog' <<<"$out")" -le 1 ] || fail "more than the setup's own box"
  expect_rc 0
}

# open_setup ACTION... [-- HOST-ARG...]: opens the setup dialog from the host
# over the plug-in as it is installed now, does the actions in it
# (testhost/setup_driver.h), the last of which closes it, then closes the
# host; the dialog must have closed and the host ended well. Host options
# and steps for after the dialog follow a "--".
open_setup() {
  local args=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    args+=(--setup-do "$1")
    shift
  done
  [ $# -eq 0 ] || shift
  host "${args[@]}" --setup "$@"
  has "setup closed"
  expect_rc 0
}

# setup ACTION... [-- HOST-ARG...]: the same after installing the plug-in with
# the settings written so far.
setup() {
  install_plugin
  open_setup "$@"
}

# The settings file as the plug-in left it, in UTF-8 without CR.
saved_ini() { tr -d '\r' <"$install/Plugins/Kesrel.ini" | iconv -f CP932 -t UTF-8; }

# has_ini LINE...: each line is in the settings file; lacks_ini LINE: it is not.
has_ini() {
  local l ini
  ini=$(saved_ini)
  for l in "$@"; do grep -qxF -- "$l" <<<"$ini" || fail "no settings line: $l"; done
}
lacks_ini() { ! saved_ini | grep -qxF -- "$1" || fail "unexpected settings line: $1"; }

radio_lines() {
  printf '  送信箱で送信予約状態　（次の送受信の時に送信されます）: %s\n  送信箱で送信前状態　（送信保留の状態です）: %s\n  送信画面で開く: %s\n' "$@"
}

case_setup_opening() {
  standard_programs
  ini 'MainWindow\ContextMenu' Boolean True
  ini 'Menu\Debugger' Boolean True
  ini '\ActivePage' Integer 1
  setup dump 'click キャンセル'
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
do dump
setup Tamberlo for AL-Mail のセットアップ
  page 1 返信プログラム
  メイン画面のメインメニュー: checked
  メイン画面のコンテキストメニュー: checked
  VIEW画面のメインメニュー: checked
  VIEW画面のコンテキストメニュー: unchecked
  デバッガ起動メニューも表示する: checked
$(radio_lines unchecked checked unchecked)
  list: 引用* | オプション | 構文エラー | 実行時エラー | 障害
  name on: 引用
  program on: PRINT(AccountName, " です。")\\nQUOTE("> ")
  options on: 
  buttons: ↑ off, ↓ on, 挿入 on, 削除 on
do click キャンセル
setup closed
cleanup
exit
TXT
  # Each way of storing the output choice.
  local variant key states
  for variant in 'Sending:checked unchecked unchecked' 'Draft:unchecked checked unchecked' \
    'Window:unchecked unchecked checked' 'Bogus:unchecked unchecked unchecked' \
    'draft=False:checked unchecked unchecked' 'draft=True:unchecked checked unchecked'; do
    key=${variant%%:*} states=${variant#*:}
    : >"$settings"
    standard_programs
    case $key in
      draft=*) ini 'Output\Draft' Boolean "${key#draft=}" ;;
      *) ini '\Output' String "$key" ;;
    esac
    setup 'page 2' dump 'click キャンセル'
    local line
    # shellcheck disable=SC2086
    while IFS= read -r line; do has "$line"; done < <(radio_lines $states)
    has "  page 2 メール出力"
  done
}

case_setup_list_operations() {
  program 0 Program1 <<<'PRINT(1)'
  program 1 Program3 <<<'PRINT(3)'
  ini '\ProgramCount' Integer 2
  setup 'page 1' 'select none' dump 'click 追加' dump 'select 0' 'click 挿入' 'click ↓' 'click ↓' dump 'click ↑' \
    'click 削除' dump 'click キャンセル'
  expect <<TXT
plug-in: Tamberlo for AL-Mail
startup 1.13: true
do page 1
do select none
do dump
setup Tamberlo for AL-Mail のセットアップ
  page 1 返信プログラム
  メイン画面のメインメニュー: checked
  メイン画面のコンテキストメニュー: unchecked
  VIEW画面のメインメニュー: checked
  VIEW画面のコンテキストメニュー: unchecked
  デバッガ起動メニューも表示する: unchecked
$(radio_lines unchecked checked unchecked)
  list: Program1 | Program3
  name off: 
  program off: 
  options off: 
  buttons: ↑ off, ↓ off, 追加 on, 削除 off
do click 追加
do dump
setup Tamberlo for AL-Mail のセットアップ
  page 1 返信プログラム
  メイン画面のメインメニュー: checked
  メイン画面のコンテキストメニュー: unchecked
  VIEW画面のメインメニュー: checked
  VIEW画面のコンテキストメニュー: unchecked
  デバッガ起動メニューも表示する: unchecked
$(radio_lines unchecked checked unchecked)
  list: Program1 | Program3 | Program2*
  name on: Program2
  program on: 
  options on: 
  buttons: ↑ on, ↓ off, 挿入 on, 削除 on
do select 0
do click 挿入
do click ↓
do click ↓
do dump
setup Tamberlo for AL-Mail のセットアップ
  page 1 返信プログラム
  メイン画面のメインメニュー: checked
  メイン画面のコンテキストメニュー: unchecked
  VIEW画面のメインメニュー: checked
  VIEW画面のコンテキストメニュー: unchecked
  デバッガ起動メニューも表示する: unchecked
$(radio_lines unchecked checked unchecked)
  list: Program1 | Program3 | Program4* | Program2
  name on: Program4
  program on: 
  options on: 
  buttons: ↑ on, ↓ on, 挿入 on, 削除 on
do click ↑
do click 削除
do dump
setup Tamberlo for AL-Mail のセットアップ
  page 1 返信プログラム
  メイン画面のメインメニュー: checked
  メイン画面のコンテキストメニュー: unchecked
  VIEW画面のメインメニュー: checked
  VIEW画面のコンテキストメニュー: unchecked
  デバッガ起動メニューも表示する: unchecked
$(radio_lines unchecked checked unchecked)
  list: Program1 | Program3* | Program2
  name on: Program3
  program on: PRINT(3)
  options on: 
  buttons: ↑ on, ↓ on, 挿入 on, 削除 on
do click キャンセル
setup closed
cleanup
exit
TXT
  # Cancel kept the programs.
  has_ini '\ProgramCount=Integer:2' 'Program1\Caption=String:Program3' '\ActivePage=Integer:1'
  # The only program deleted: nothing is selected and nothing can be edited.
  : >"$settings"
  program 0 一つだけ <<<'PRINT(1)'
  ini '\ProgramCount' Integer 1
  setup 'page 1' 'click 削除' dump 'click キャンセル'
  has "  list: " "  name off: " "  program off: " "  options off: " "  buttons: ↑ off, ↓ off, 追加 on, 削除 off"
}

case_setup_ok() {
  standard_programs
  ini 'MainWindow\ContextMenu' Boolean True
  # An edit is kept when another program (or none) is selected next.
  setup 'page 1' 'select 2' 'program PRINT(2)' 'select none' 'select 1' 'name 丁寧な返事' 'program PRINT("こんにちは")\nQUOTE("> ")' 'inner 1' \
    'options   丁寧 です \n\n簡潔\t' 'page 0' 'click VIEW画面のコンテキストメニュー' 'page 2' 'click 送信画面で開く' 'click OK'
  has "do click OK"
  lacks "box"
  has_ini '\ProgramCount=Integer:5' 'Program1\Caption=String:丁寧な返事' \
    'Program1\Body=String:PRINT("こんにちは")%0D%0AQUOTE("> ")' 'Program2\Body=String:PRINT(2)' 'Program1\Option=String:丁寧 です%0D%0A簡潔%0D%0A' \
    'ViewWindow\ContextMenu=Boolean:True' 'MainWindow\MainMenu=Boolean:True' '\Output=String:Window' \
    '\ActivePage=Integer:2' 'ProgramList\Width=Integer:121' 'SetupForm\State=String:Normal'
  saved_ini | grep -qE '^SetupForm\\(Left|Top|Width|Height)=Integer:[0-9]+$' || fail "no window geometry"
  # A new program: the advice to restart, owned by the dialog; the context
  # menu shows the new program at once.
  open_setup 'page 1' 'select 0' 'click 挿入' 'name 新しい返事' 'program PRINT("新")' 'click OK' -- --print-context-menu
  grep -qx '    新しい返事  \[.:0\]' <<<"$out" || fail "the context menu lacks the new program"
  has "box ご参考 | information, OK | owner setup | 設定変更は、すぐには反映しない場合があります。\\n確実に反映させるには、AL-Mail32 を起動しなおしてください。 | OK"
  has_ini '\ProgramCount=Integer:6' 'Program0\Caption=String:新しい返事' 'Program1\Caption=String:引用'
}

# Cancel writes none of the choices, only the page, the panel and the
# window's place.
case_setup_cancel() {
  standard_programs
  setup 'page 1' 'select 2' 'name 別名' 'program PRINT(0)' 'click 削除' 'page 0' 'click メイン画面のメインメニュー' \
    'click キャンセル'
  has "do click キャンセル"
  lacks "box"
  has_ini '\ProgramCount=Integer:5' 'Program2\Caption=String:構文エラー' '\ActivePage=Integer:0'
  lacks_ini 'MainWindow\MainMenu=Boolean:False'
  lacks_ini '\Output=String:Draft'
  # The splitter widens the list; the width is kept for the next opening.
  open_setup 'page 1' 'drag-splitter 40' 'click キャンセル'
  has_ini 'ProgramList\Width=Integer:161' '\ActivePage=Integer:1'
}

# Without Vodrin.exe the debug menu cannot be offered: its option is hidden
# and switched off in the file even when the dialog is cancelled.
case_setup_no_debugger() {
  standard_programs
  ini 'Menu\Debugger' Boolean True
  install_plugin
  rm "$install/Plugins/Vodrin.exe"
  open_setup dump 'click キャンセル'
  has "  デバッガ起動メニューも表示する: hidden"
  has_ini 'Menu\Debugger=Boolean:False'
}

# The Tab key in the program editor, and the caret's line and column in the
# status bar (the column in bytes).
case_setup_tab_key() {
  program 0 字下げ <<<$'1\n2\n\t3\n4\n5\n日本語\tです'
  ini '\ProgramCount' Integer 1
  setup 'page 1' status 'select-text 0 1' 'key tab' status dump 'select-text 1 0 4 0' 'key tab' dump status \
    'key shift-tab' 'key shift-tab' dump 'select-text 1 0 3 1' 'key tab' dump 'select-text 5 4' status \
    'key shift-tab' status dump 'key shift-tab' dump 'click OK'
  local progs
  progs=$(grep '^  program on: \|^  status: ' <<<"$out")
  local want
  want=$(
    cat <<'TXT'
  status: 0 0
  status: 0 2
  program on: 1\t\n2\n\t3\n4\n5\n日本語\tです
  program on: 1\t\n\t2\n\t\t3\n\t4\n5\n日本語\tです
  status: 1 0
  program on: 1\t\n2\n3\n4\n5\n日本語\tです
  program on: 1\t\n\t2\n\t3\n\t4\n5\n日本語\tです
  status: 5 7
  status: 5 6
  program on: 1\t\n\t2\n\t3\n\t4\n5\n日本語です
  program on: 1\t\n\t2\n\t3\n\t4\n5\n日本語です
TXT
  )
  if [ "$progs" != "$want" ]; then
    fail "the editor's texts differ"
    diff -u <(printf '%s\n' "$want") <(printf '%s\n' "$progs") | sed 's/^/    /'
  fi
  has_ini 'Program0\Body=String:1%09%0D%0A%092%0D%0A%093%0D%0A%094%0D%0A5%0D%0A日本語です'
}

# The help button without a help file or reference beside the plug-in.
case_setup_help() {
  standard_programs
  setup 'click ヘルプ' 'click キャンセル'
  has "box エラー | warning, OK | owner setup | <install>\\Plugins\\Kesrel.hlp がありません | OK"
}

# A settings file that cannot be replaced: OK says so and the dialog stays
# open with what was typed; once the file is free, OK writes it.
case_setup_unwritable() {
  standard_programs
  local file
  file=$(win "$install/Plugins/Kesrel.ini")
  setup "lock $file" 'page 1' 'program PRINT("残す")' 'click OK' dump unlock 'click OK'
  has "box エラー | warning, OK | owner setup | 設定ファイル <install>\\Plugins\\Kesrel.ini に書き込めません。\\n書き込めるようにしてから、もう一度 OK を押してください。 | OK" \
    '  program on: PRINT("残す")'
  [ "$(grep -c '^box' <<<"$out")" = 1 ] || fail "not one box"
  has_ini 'Program0\Body=String:PRINT("残す")'
}
