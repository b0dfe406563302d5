#!/usr/bin/env bash
# Prints wall time and peak memory of preparing and running a quoting reply
# over generated mails (a plain-text body and an attachment part, 3 MB to
# 50 MB; and a mail nested 100000 levels deep), next to `wc -l` on the same
# file, with a release build of tamberlo. Not a test: it prints figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tamberlo >/dev/null

# mail FILE TEXT_MB ATTACHMENT_MB: CR LF lines of 76 characters.
mail() {
  awk -v text="$2" -v att="$3" 'BEGIN {
    printf "From: bench@example.jp\r\nSubject: bench\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
    printf "--b\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n"
    line = "The quick brown fox jumps over the lazy dog; 0123456789 abcdefghijklmnopqrs"
    for (i = 0; i < text * 1048576 / 78; i++) printf "%s\r\n", line
    printf "--b\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n\r\n"
    line = "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0"
    for (i = 0; i < att * 1048576 / 78; i++) printf "%s\r\n", line
    printf "--b--\r\n"
  }' >"$1"
}

nested() {
  awk 'BEGIN {
    for (i = 0; i < 100000; i++) printf "Content-Type: multipart/mixed; boundary=\"b%d\"\r\n\r\n--b%d\r\n", i, i
    printf "Content-Type: text/plain\r\n\r\ninner\r\n"
  }' >"$1"
}

printf 'QUOTE("> ")\r\n' >"$work/quote.tam"
measure() {  # best of three: "seconds peak-KB"
  local best="" out secs
  for round in 1 2 3; do
    out=$( { /usr/bin/time -f '%e %M' "$@" >/dev/null; } 2>&1 | tail -1)
    secs=${out% *}
    if [ -z "$best" ] || awk "BEGIN{exit !($secs < ${best% *})}"; then best=$out; fi
  done
  echo "$best"
}

printf '%-22s %8s %10s %12s %10s %12s\n' mail MB reply-s reply-peak-KB wc-s wc-peak-KB
for size in "2 1" "5 7" "10 15" "20 30"; do
  set -- $size
  mail "$work/m.eml" "$1" "$2"
  r=$(measure "$build/cli/tamberlo" run --mail "$work/m.eml" "$work/quote.tam")
  w=$(measure wc -l "$work/m.eml")
  printf '%-22s %8s %10s %12s %10s %12s\n' "text ${1}MB + att ${2}MB" "$(($(stat -c %s "$work/m.eml") / 1048576))" \
    "${r% *}" "${r#* }" "${w% *}" "${w#* }"
done
nested "$work/n.eml"
r=$(measure "$build/cli/tamberlo" run --mail "$work/n.eml" "$work/quote.tam")
w=$(measure wc -l "$work/n.eml")
printf '%-22s %8s %10s %12s %10s %12s\n' "100000 levels" "$(($(stat -c %s "$work/n.eml") / 1048576))" "${r% *}" \
  "${r#* }" "${w% *}" "${w#* }"
