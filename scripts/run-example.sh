#!/bin/bash
# The main job: builds the command-line tool and writes a reply to an example
# mail with the quoting reply program, as the plug-in would; then runs the
# bundled example program, printing its variables.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then scripts/setup.sh; else sudo scripts/setup.sh; fi

cmake --preset native >/dev/null
cmake --build --preset native --target tamberlo
echo "== tamberlo run --vars --utf8 examples/meeting-reply.tam"
build/native/cli/tamberlo run --vars --utf8 examples/meeting-reply.tam
echo
echo "== tamberlo run --utf8 --mail examples/mails/plain-ja.eml --account-name ... examples/quote-reply.tam"
build/native/cli/tamberlo run --utf8 --mail examples/mails/plain-ja.eml --account-name "佐藤 花子" \
  examples/quote-reply.tam
