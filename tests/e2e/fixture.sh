# The mailbox, install folder and settings of one end-to-end case, made
# fresh in $case_dir. Sourced by run.sh. Files are written in UTF-8 here and
# stored as the mail client stores them: Shift-JIS with CR LF.

# Writes stdin to FILE as Shift-JIS with CR LF line ends.
sjis() {
  mkdir -p "$(dirname "$1")"
  sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$1"
}

# A stored mail: mail FOLDER ENTRY N
mail() {
  sjis "$mailbox/$1/$2.ALM" <<MAIL
From: 送信者$3 <sender$3@example.com>
Subject: 件名$3
Date: Sun, 6 Dec 2026 09:0$(($3 % 10)):00 +0900

本文$3 の一行目
二行目
MAIL
}

make_mailbox() {
  sjis "$mailbox/ACC1/Account.ini" <<'INI'
[Account]
title = "ignored: the key must start the line"
TITLE="仕事"
account=taro
MailAddress= taro@example.jp
FULLNAME=山田 太郎
INI
  local n entries=""
  for n in $(seq 1 12); do
    local e
    e=$(printf '%08d' "$n")
    mail ACC1/INBOX.BOX "$e" "$n"
    entries+="$e"$'\t'"00000000"$'\n'
  done
  printf '%s' "$entries" | sjis "$mailbox/ACC1/INBOX.BOX/ENTRY.LST"
  mkdir -p "$mailbox/ACC1/OUTBOX.BOX"
  : >"$mailbox/ACC1/OUTBOX.BOX/ENTRY.LST"
  # A folder that lists nothing: its mails look like the trash.
  mail ACC1/TRASH.BOX T0000001 20
  : >"$mailbox/ACC1/TRASH.BOX/ENTRY.LST"
  # A folder without a list.
  mail ACC1/NOLIST N0000001 21
  echo 'TITLE=リストなし' | sjis "$mailbox/ACC1/NOLIST/ENTRY.INI"
  # A mail directly in the mailbox folder.
  mail . TOP00001 22
}

# The settings file: ini NAME TYPE VALUE appends one entry; String values
# are escaped as the settings file keeps them (%, control characters).
ini() {
  local value="$3"
  if [ "$2" = String ]; then
    value=${value//%/%%}
    value=${value//$'\r'/%0D}
    value=${value//$'\n'/%0D%0A}
    value=${value//$'\t'/%09}
  fi
  printf '%s=%s:%s\n' "$1" "$2" "$value" >>"$settings"
}

# A reply program: program N CAPTION [OPTION-LINES] < program text
program() {
  local body
  body=$(cat)
  ini "Program$1\\Caption" String "$2"
  ini "Program$1\\Body" String "$body"
  [ -z "${3:-}" ] || ini "Program$1\\Option" String "$3"
}

# The programs every case has; a case adds its own and sets ProgramCount.
standard_programs() {
  program 0 "引用" <<'TAM'
PRINT(AccountName, " です。")
QUOTE("> ")
TAM
  program 1 "オプション" $'丁寧 です ます\n簡潔' <<'TAM'
PRINT("語数 ", OptionCount)
FOR I = 0 TO OptionCount - 1
  PRINT(Option(I))
NEXT
TAM
  program 2 "構文エラー" <<'TAM'
PRINT("届かない")
IF OptionCount = 0
PRINT("ENDIF がない")
TAM
  program 3 "実行時エラー" <<'TAM'
PRINT("一")
AccountName = "書き換え"
PRINT("三")
TAM
  program 4 "障害" <<'TAM'
PRINT("割る前")
X = 1 / 0
PRINT("割った後")
TAM
  ini '\ProgramCount' Integer 5
}

install_plugin() {
  mkdir -p "$install/Plugins"
  cp "$KESREL" "$install/Plugins/Kesrel.dll"
  cp "$STANDIN" "$install/Plugins/Vodrin.exe"
  sed 's/$/\r/' "$settings" | iconv -f UTF-8 -t CP932 >"$install/Plugins/Kesrel.ini"
}
