#!/bin/bash
# The main job for now: builds the command-line tool and runs the bundled
# example reply program, printing its variables.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then scripts/setup.sh; else sudo scripts/setup.sh; fi

cmake --preset native >/dev/null
cmake --build --preset native --target tamberlo
echo "== tamberlo run --vars --utf8 examples/meeting-reply.tam"
build/native/cli/tamberlo run --vars --utf8 examples/meeting-reply.tam
