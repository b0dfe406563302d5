#!/bin/bash
# Builds the reply-program reference from docs/ into build/docs/ (or DIR):
# Kesrel.html in Japanese and Kesrel.en.html in English.
#   scripts/build-docs.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
exec /usr/bin/python3 scripts/build_docs.py docs "${1:-build/docs}"
