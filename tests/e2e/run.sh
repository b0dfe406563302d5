#!/bin/bash
# End-to-end cases of the plug-in Kesrel.dll inside the simulated mail client
# Almail.exe under Wine: each case builds a mailbox and settings, drives the
# host from its command line and compares what the host reports.
#   run.sh ALMAIL_EXE LACKING_ALMAIL_EXE KESREL_DLL STANDIN_EXE VODRIN_EXE WORK_DIR CASE...
# STANDIN_EXE is the stand-in debugger that records how it was started; it
# lies beside the plug-in as Vodrin.exe unless a case puts the real one there.
# The Wine prefix is WORK_DIR/wine, the cases' folders WORK_DIR/CASE. Without
# a display the script runs itself again under xvfb-run.
set -uo pipefail

if [ -z "${DISPLAY:-}" ] && [ -z "${TAM_E2E_XVFB:-}" ]; then
  TAM_E2E_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
if [ $# -lt 7 ]; then
  echo "usage: run.sh ALMAIL LACKING_ALMAIL KESREL STANDIN VODRIN WORK_DIR CASE..." >&2
  exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
ALMAIL=$1 LACKING=$2 KESREL=$3 STANDIN=$4 VODRIN=$5 work=$6
shift 6
mkdir -p "$work"
work="$(cd "$work" && pwd)"
prefix="$work/wine"
wine_run="$here/../../scripts/wine-run"
# A server of the prefix left from a run on another display could make no
# windows here: end it first.
[ ! -d "$prefix" ] || WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true

# The host's form of a posix path (Wine's drive Z:).
win() { printf 'Z:%s' "${1//\//\\}"; }

# host [--lacking] ARGS...: runs the host on the case's mailbox; its report,
# in UTF-8, with the case's folders and the times of day written as
# placeholders, goes to $out; its exit code to $rc.
host() {
  local exe=$ALMAIL
  if [ "${1:-}" = --lacking ]; then
    exe=$LACKING
    shift
  fi
  "$wine_run" --prefix "$prefix" "$exe" --mailbox "$mailbox" --install "$install" --timeout 60 \
    --out "$case_dir/report.txt" "$@" >"$case_dir/host.log" 2>&1
  rc=$?
  local mb ins
  mb=$(win "$mailbox")
  ins=$(win "$install")
  out=$(iconv -f CP932 -t UTF-8 "$case_dir/report.txt" | sed -e "s|${mb//\\/\\\\}|<mailbox>|g" \
    -e "s|${ins//\\/\\\\}|<install>|g" -e 's/^\( *\)Date: .*/\1Date: */' -e 's/TMP[0-9A-Fa-f]*\.tmp/TMP*.tmp/g')
}

failures=()
fail() {
  failures+=("$case_name: $*")
  echo "FAIL $case_name: $*"
}

# expect < lines: the whole report must read so.
expect() {
  local want
  want=$(cat)
  if [ "$out" != "$want" ]; then
    fail "report differs"
    diff -u <(printf '%s\n' "$want") <(printf '%s\n' "$out") | sed 's/^/    /'
  fi
  expect_rc 0
}
expect_rc() { [ "$rc" = "$1" ] || fail "exit code $rc, not $1"; }
# has LINE...: each line occurs in the report; lacks LINE: it does not.
has() {
  local l
  for l in "$@"; do grep -qxF -- "$l" <<<"$out" || fail "no line: $l"; done
}
lacks() { ! grep -qF -- "$1" <<<"$out" || fail "unexpected: $1"; }

source "$here/fixture.sh"
source "$here/cases.sh"

for case_name in "$@"; do
  case_dir="$work/$case_name"
  rm -rf "$case_dir"
  mkdir -p "$case_dir"
  mailbox="$case_dir/mailbox" install="$case_dir/install" settings="$case_dir/settings.txt"
  make_mailbox
  before=${#failures[@]}
  if declare -F "case_$case_name" >/dev/null; then
    "case_$case_name"
  else
    fail "no such case"
  fi
  [ ${#failures[@]} -gt "$before" ] || echo "ok $case_name"
done

total=$#
echo "$((total - $(printf '%s\n' "${failures[@]%%:*}" | sort -u | grep -c .))) passed, $(printf '%s\n' "${failures[@]%%:*}" | sort -u | grep -c .) failed"
[ ${#failures[@]} -eq 0 ]
