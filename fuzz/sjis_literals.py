#!/usr/bin/env python3
"""Copies C++ sources for a clang build, which cannot turn UTF-8 literals into
Shift-JIS itself: every non-ASCII character inside a string or character
literal becomes octal escapes of its code page 932 bytes, as the product's
-fexec-charset=CP932 would give. Comments and code pass unchanged. Files whose
copy is already up to date are not rewritten, so make rebuilds only what
changed.

    sjis_literals.py SOURCE_ROOT TARGET_ROOT RELATIVE_PATH...
"""
import os
import sys


def escape(char):
    return "".join("\\%03o" % b for b in char.encode("cp932"))


def convert(text):
    out = []
    i, n = 0, len(text)
    state = None  # None, '//', '/*', '"', "'"
    while i < n:
        c = text[i]
        if state is None:
            if text.startswith("//", i):
                state = "//"
            elif text.startswith("/*", i):
                state = "/*"
            elif c == '"':
                state = '"'
            elif c == "'" and not (i > 0 and text[i - 1].isalnum()):  # not a digit separator
                state = "'"
            out.append(c)
        elif state == "//":
            if c == "\n":
                state = None
            out.append(c)
        elif state == "/*":
            if text.startswith("*/", i):
                out.append("*/")
                i += 2
                state = None
                continue
            out.append(c)
        else:  # inside a literal
            if c == "\\" and i + 1 < n:
                out.append(text[i : i + 2])
                i += 2
                continue
            if c == state or c == "\n":
                state = None
                out.append(c)
            elif ord(c) > 127:
                out.append(escape(c))
            else:
                out.append(c)
        i += 1
    return "".join(out)


def main():
    source, target = sys.argv[1], sys.argv[2]
    for rel in sys.argv[3:]:
        with open(os.path.join(source, rel), encoding="utf-8") as f:
            text = convert(f.read())
        path = os.path.join(target, rel)
        try:
            with open(path, encoding="utf-8") as f:
                if f.read() == text:
                    continue
        except OSError:
            pass
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)


if __name__ == "__main__":
    main()
