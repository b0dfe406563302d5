#!/usr/bin/python3
"""Builds the reply-program reference, one HTML page per language, from the
text sources in docs/:

    build_docs.py DOCS_DIR OUT_DIR

writes OUT_DIR/Kesrel.html (Japanese) and OUT_DIR/Kesrel.en.html (English),
each a single file with its style sheet inside, a contents list and an
anchor per function (#MID, #REFGETHEADEROF, ...);

    build_docs.py --cookbook DOCS_DIR OUT_DIR

writes the cookbook's programs as the files `tamberlo settings --utf8 import`
reads (ProgramN.tam, ProgramN.caption.txt, ProgramN.option.txt).

The sources, in page order: guide.LANG.txt, functions.txt, cookbook.txt,
then the example mails of docs/mails. Their format:
  # Title | 題名            a chapter (English | Japanese in shared files)
  ## NAME | 名前 {#id}      a section; in functions.txt a function's entry,
                            "## COPY, MID" one entry for several names
  ### Title | 題名          a sub-heading
  [en] [ja] [*]             what follows is English only, Japanese only, both
  - item                    a list item (continued by lines indented by two)
  | a | b |                 a table row (the first is the head; |---| rows
                            are skipped)
  ```tam KEY=VALUE...       a program run by the tests; ```out and ```reply
                            blocks after it are its result and its reply
  ```text                   text shown as it is
  `code`, **strong**, *emphasis*, [[NAME]] (a function's entry),
  [[#id|text]] (a link to a heading's anchor)
The tests (tests/scripts/docs_examples.cpp) read the same sources.
"""

import html
import os
import re
import sys

LANGS = ("ja", "en")
PAGE = {"ja": "Kesrel.html", "en": "Kesrel.en.html"}
WORDS = {
    "en": {
        "title": "Tamberlo reply programs: reference",
        "contents": "Contents",
        "result": "Result",
        "reply": "Reply",
        "other": "日本語",
        "functions": "Functions A-Z",
        "mails": "The example mails",
        "mails_intro": "The examples that answer a mail run over one of these mails, "
        "stored as the mail client stores them.",
        "setup": "Run with",
        "mail": "mail",
        "option": "option line",
        "options": "the menu's option lines",
        "answer": "dialog answer",
        "now": "clock",
        "account-name": "AccountName",
        "account-address": "AccountAddress",
        "account-title": "AccountTitle",
        "account-user": "AccountUser",
        "maxloop": "loop limit",
        "tz-bias": "time-zone bias",
    },
    "ja": {
        "title": "Tamberlo 返信プログラム リファレンス",
        "contents": "目次",
        "result": "結果",
        "reply": "返信",
        "other": "English",
        "functions": "関数一覧 (A-Z)",
        "mails": "例で使うメール",
        "mails_intro": "メールに返信する例は、次のメールのどれかに対して実行されます"
        "(メールソフトが保存したままの形です)。",
        "setup": "実行条件",
        "mail": "メール",
        "option": "オプション行",
        "options": "メニューのオプション行",
        "answer": "ダイアログへの入力",
        "now": "時刻",
        "account-name": "AccountName",
        "account-address": "AccountAddress",
        "account-title": "AccountTitle",
        "account-user": "AccountUser",
        "maxloop": "ループ上限",
        "tz-bias": "時差",
    },
}

CSS = """
:root { --ink:#1d232a; --muted:#5b6570; --line:#d9dee3; --accent:#1f5f99; --code:#f4f6f8; }
* { box-sizing: border-box; }
body { margin:0; color:var(--ink); background:#fff; line-height:1.65;
  font-family: "Segoe UI", Meiryo, "Yu Gothic UI", "Noto Sans CJK JP", "IPAPGothic", sans-serif; }
body:lang(ja) { font-family: Meiryo, "Yu Gothic UI", "Segoe UI", "Noto Sans CJK JP", "IPAPGothic", sans-serif; }
header { background:#22313f; color:#fff; padding:.7em 1.5em; display:flex; align-items:baseline; gap:1em; }
header h1 { font-size:1.25em; margin:0; flex:1; }
header a { color:#cfe3f5; }
.layout { display:flex; align-items:flex-start; }
nav { position:sticky; top:0; width:17em; flex:none; max-height:100vh; overflow-y:auto; overflow-x:hidden;
  overflow-wrap:anywhere;
  padding:1em 1em 2em 1.5em; border-right:1px solid var(--line); font-size:.88em; background:#fafbfc; }
nav h2 { font-size:1em; margin:.2em 0 .5em; }
nav ul { list-style:none; margin:0; padding:0; }
nav li { margin:.15em 0; }
nav li li { margin-left:1em; }
nav a { color:var(--ink); text-decoration:none; }
nav a:hover { color:var(--accent); text-decoration:underline; }
nav .fnlist { margin:.3em 0 0 1em; line-height:1.9; }
nav .fnlist a { font-family: Consolas, "DejaVu Sans Mono", "MS Gothic", "IPAGothic", monospace; font-size:.9em; margin-right:.5em; }
main { flex:1; min-width:0; max-width:58em; padding:1em 2.5em 4em; }
main h1 { font-size:1.6em; border-bottom:2px solid var(--accent); padding-bottom:.2em; margin-top:2em; }
main h2 { font-size:1.25em; margin-top:1.8em; border-bottom:1px solid var(--line); padding-bottom:.15em; }
main h2.fn { font-family: Consolas, "DejaVu Sans Mono", "MS Gothic", "IPAGothic", monospace; font-size:1.15em; color:var(--accent); }
main h3 { font-size:1.05em; margin-top:1.4em; }
code { font-family: Consolas, "DejaVu Sans Mono", "MS Gothic", "IPAGothic", monospace; background:var(--code); padding:0 .25em; border-radius:3px; font-size:.93em; }
pre { background:var(--code); border:1px solid var(--line); border-radius:4px; padding:.6em .9em; overflow:auto;
  font-family: Consolas, "DejaVu Sans Mono", "MS Gothic", "IPAGothic", monospace; font-size:.9em; line-height:1.45; margin:.4em 0; }
pre code { background:none; padding:0; }
.example { margin:.8em 0 1.2em; }
.label { font-size:.8em; color:var(--muted); margin:.3em 0 0; }
pre.out { background:#f3f8f1; border-color:#cfe2c9; }
pre.reply { background:#fffaf0; border-color:#ecdcb8; }
table { border-collapse:collapse; margin:.6em 0 1em; font-size:.95em; }
th, td { border:1px solid var(--line); padding:.25em .6em; text-align:left; vertical-align:top; }
th { background:#eef2f5; }
a { color:var(--accent); }
@media print { nav { display:none; } }
"""


# The result descriptions of the shared signature lines ("`MID(...)` → String"),
# in Japanese.
SIGNATURE_JA = [
    ("Integers year, month, day", "Integer の年、月、日"),
    ("Integers hour, minute, second, millisecond", "Integer の時、分、秒、ミリ秒"),
    ("Integers length, line", "Integer の長さと行番号"),
    ("Strings address, name", "String のアドレスと表示名"),
    ("names and count", "名前の一覧と個数"),
    ("letters and count", "ドライブ文字の一覧と個数"),
    ("the largest argument", "最大の引数"),
    ("the smallest argument", "最小の引数"),
    ("the sum", "合計"),
    ("Double or Integer", "Double または Integer"),
    ("no value", "値なし"),
    (", each argument", "、引数ごと"),
    ("` or `", "` または `"),
]


class Error(Exception):
    pass


def split_lang(text, lang):
    """'English | 日本語' -> the part of lang (the text itself when there is no |)."""
    if " | " in text:
        en, ja = text.split(" | ", 1)
        return (en if lang == "en" else ja).strip()
    return text.strip()


def read_source(path, lang):
    """The lines of path that belong to lang, with their line numbers."""
    name = os.path.basename(path)
    fixed = "en" if name.endswith(".en.txt") else "ja" if name.endswith(".ja.txt") else "*"
    if fixed not in ("*", lang):
        return []
    current = fixed
    lines = []
    in_fence = False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not in_fence and line.strip() in ("[en]", "[ja]", "[*]"):
                current = fixed if fixed != "*" else line.strip()[1:-1]
                lines.append((number, ""))  # a switch ends a paragraph
                continue
            if not in_fence and (line.startswith("# ") or line.startswith("## ")):
                current = fixed
            if line.startswith("```"):
                if not in_fence:
                    in_fence = True
                elif line.strip() == "```":
                    in_fence = False
            if current in ("*", lang):
                lines.append((number, line))
    return lines


def parse_setup(info):
    return re.findall(r'([a-z-]+)=(?:"([^"]*)"|(\S+))', info)


class Page:
    def __init__(self, lang):
        self.lang = lang
        self.w = WORDS[lang]
        self.body = []
        self.toc = []  # (level, id, text)
        self.functions = []  # (name, id)
        self.ids = set()
        self.links = []  # (target, where)
        self.counter = 0

    def new_id(self, wanted=None):
        if wanted:
            if wanted in self.ids:
                raise Error("anchor #%s twice" % wanted)
            self.ids.add(wanted)
            return wanted
        self.counter += 1
        while "s%d" % self.counter in self.ids:
            self.counter += 1
        self.ids.add("s%d" % self.counter)
        return "s%d" % self.counter

    def inline(self, text, where):
        out = []
        pos = 0
        for m in re.finditer(r"`([^`]+)`|\*\*(.+?)\*\*|\[\[([^\]|]+)(?:\|([^\]]+))?\]\]|(?<![\w*])\*([^*\s][^*]*?)\*(?![\w*])", text):
            out.append(html.escape(text[pos : m.start()]))
            if m.group(1) is not None:
                out.append("<code>%s</code>" % html.escape(m.group(1)))
            elif m.group(2) is not None:
                out.append("<strong>%s</strong>" % self.inline(m.group(2), where))
            elif m.group(5) is not None:
                out.append("<em>%s</em>" % self.inline(m.group(5), where))
            else:
                target, label = m.group(3).strip(), m.group(4)
                anchor = target[1:] if target.startswith("#") else target.upper()
                self.links.append((anchor, where))
                if label:
                    shown = html.escape(label)
                elif target.startswith("#"):
                    shown = html.escape(target)
                else:
                    shown = "<code>%s</code>" % html.escape(target)
                out.append('<a href="#%s">%s</a>' % (html.escape(anchor), shown))
            pos = m.end()
        out.append(html.escape(text[pos:]))
        return "".join(out)

    def heading(self, level, text, where, is_function):
        m = re.search(r"\s*\{#([A-Za-z0-9_-]+)\}\s*$", text)
        wanted = m.group(1) if m else None
        if m:
            text = text[: m.start()]
        text = split_lang(text, self.lang)
        if is_function and level == 2:
            names = [n.strip() for n in text.split(",")]
            first = self.new_id(names[0])
            extra = "".join('<a id="%s"></a>' % self.new_id(n) for n in names[1:])
            for n in names:
                self.functions.append((n, n))
            self.body.append('<h2 class="fn" id="%s">%s%s</h2>' % (first, extra, html.escape(text)))
            for n in names:
                self.toc.append((level, n, n, True))
            return
        anchor = self.new_id(wanted)
        self.body.append('<h%d id="%s">%s</h%d>' % (level, anchor, self.inline(text, where), level))
        if level <= 2:
            self.toc.append((level, anchor, text, False))

    def example(self, kind, info, body, where):
        code = html.escape("\n".join(body))
        if kind == "tam":
            setup = parse_setup(info)
            self.body.append('<div class="example">')
            if setup:
                parts = []
                for key, quoted, plain in setup:
                    value = quoted if quoted else plain
                    label = self.w.get(key, key)
                    if key == "options":
                        value = " / ".join(value.split(";"))
                    if key == "mail":
                        self.links.append(("mail-" + value, where))
                        parts.append('%s <a href="#mail-%s"><code>%s</code></a>' % (label, value, html.escape(value)))
                    else:
                        parts.append("%s <code>%s</code>" % (label, html.escape(value)))
                self.body.append('<p class="label">%s: %s</p>' % (self.w["setup"], ", ".join(parts)))
            self.body.append('<pre class="tam"><code>%s</code></pre>' % code)
            self.body.append("</div>")
        elif kind in ("out", "reply"):
            # Belongs to the example just closed: reopen its box.
            if self.body and self.body[-1] == "</div>":
                self.body.pop()
            else:
                self.body.append('<div class="example">')
            self.body.append('<p class="label">%s</p>' % self.w["result" if kind == "out" else "reply"])
            self.body.append('<pre class="%s"><code>%s</code></pre>' % (kind, code))
            self.body.append("</div>")
        else:
            self.body.append("<pre><code>%s</code></pre>" % code)

    def add_source(self, path):
        name = os.path.basename(path)
        is_functions = name == "functions.txt"
        lines = read_source(path, self.lang)
        i = 0
        para = []
        items = []
        rows = []

        def flush():
            if para:
                self.body.append("<p>%s</p>" % self.inline(" ".join(t for t, _ in para), para[0][1]))
                para.clear()
            if items:
                self.body.append("<ul>%s</ul>" % "".join("<li>%s</li>" % self.inline(t, w) for t, w in items))
                items.clear()
            if rows:
                head, rest = rows[0], rows[1:]
                cells = lambda r, tag: "".join("<%s>%s</%s>" % (tag, self.inline(c, r[1]), tag) for c in r[0])
                self.body.append(
                    "<table><thead><tr>%s</tr></thead><tbody>%s</tbody></table>"
                    % (cells(head, "th"), "".join("<tr>%s</tr>" % cells(r, "td") for r in rest))
                )
                rows.clear()

        while i < len(lines):
            number, line = lines[i]
            where = "%s:%d" % (name, number)
            i += 1
            if line.startswith("```"):
                flush()
                head = line[3:].strip().split(None, 1)
                kind = head[0] if head else "text"
                info = head[1] if len(head) > 1 else ""
                body = []
                while i < len(lines) and lines[i][1].rstrip() != "```":
                    body.append(lines[i][1])
                    i += 1
                if i >= len(lines):
                    raise Error("%s: unclosed ``` block" % where)
                i += 1
                self.example(kind, info, body, where)
                continue
            m = re.match(r"(#{1,3}) (.*)$", line)
            if m:
                flush()
                self.heading(len(m.group(1)), m.group(2), where, is_functions)
                continue
            if not line.strip():
                flush()
                continue
            if line.startswith("- "):
                if para or rows:
                    flush()
                items.append((line[2:].strip(), where))
                continue
            if line.startswith("  ") and items:
                items[-1] = (items[-1][0] + " " + line.strip(), items[-1][1])
                continue
            if line.startswith("|"):
                if para or items:
                    flush()
                cells = [c.strip() for c in line.strip().strip("|").split("|")]
                if all(re.fullmatch(r":?-+:?", c) for c in cells):
                    continue
                rows.append((cells, where))
                continue
            if items or rows:
                flush()
            if is_functions and self.lang == "ja" and line.startswith("`") and "→" in line:
                for en, ja in SIGNATURE_JA:
                    line = line.replace(en, ja)
            para.append((line.strip(), where))
        flush()

    def add_mails(self, folder):
        self.heading(1, self.w["mails"] + " {#mails}", "mails", False)
        self.body.append("<p>%s</p>" % html.escape(self.w["mails_intro"]))
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".eml"):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read().replace("\r\n", "\n")
            anchor = self.new_id("mail-" + name)
            self.body.append('<h3 id="%s"><code>%s</code></h3>' % (anchor, html.escape(name)))
            self.body.append('<pre class="mail"><code>%s</code></pre>' % html.escape(text.rstrip("\n")))

    def check_links(self):
        for target, where in self.links:
            if target not in self.ids:
                raise Error("%s: link to #%s, which is not in the %s page" % (where, target, self.lang))

    def render(self):
        toc = ['<h2>%s</h2><ul>' % self.w["contents"]]
        open_sub = False
        in_functions = False
        for level, anchor, text, is_fn in self.toc:
            if is_fn:
                if not in_functions:
                    toc.append('<li><div class="fnlist">')
                    in_functions = True
                toc.append('<a href="#%s">%s</a> ' % (anchor, html.escape(text)))
                continue
            if in_functions:
                toc.append("</div></li>")
                in_functions = False
            if level == 1:
                if open_sub:
                    toc.append("</ul></li>")
                    open_sub = False
                toc.append('<li><a href="#%s">%s</a>' % (anchor, html.escape(text)))
                toc.append("<ul>")
                open_sub = True
            else:
                toc.append('<li><a href="#%s">%s</a></li>' % (anchor, html.escape(text)))
        if in_functions:
            toc.append("</div></li>")
        if open_sub:
            toc.append("</ul></li>")
        toc.append("</ul>")
        toc_html = "".join(toc).replace("<ul></ul>", "")
        other = "en" if self.lang == "ja" else "ja"
        return """<!DOCTYPE html>
<html lang="%s">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>%s</title>
<style>%s</style>
</head>
<body>
<header><h1>%s</h1><a href="%s" hreflang="%s">%s</a></header>
<div class="layout">
<nav>%s</nav>
<main>
%s
</main>
</div>
</body>
</html>
""" % (
            self.lang,
            html.escape(self.w["title"]),
            CSS,
            html.escape(self.w["title"]),
            PAGE[other],
            other,
            self.w["other"],
            toc_html,
            "\n".join(self.body),
        )


def export_cookbook(docs, out):
    """Writes the cookbook's programs as ProgramN.tam with ProgramN.caption.txt
    (the Japanese title) and, for a program with menu options,
    ProgramN.option.txt: the files that `tamberlo settings --utf8 import`
    puts into Kesrel.ini."""
    os.makedirs(out, exist_ok=True)
    lines = read_source(os.path.join(docs, "cookbook.txt"), "ja")
    title = None
    n = 0
    i = 0
    while i < len(lines):
        line = lines[i][1]
        i += 1
        m = re.match(r"## (.*)$", line)
        if m:
            title = re.sub(r"\s*\{#[^}]*\}\s*$", "", split_lang(m.group(1), "ja"))
            continue
        if not line.startswith("```"):
            continue
        body = []
        while i < len(lines) and lines[i][1].rstrip() != "```":
            body.append(lines[i][1])
            i += 1
        i += 1
        if not line.startswith("```tam") or not title:
            continue
        setup = dict((k, q or p) for k, q, p in parse_setup(line[6:]))
        base = os.path.join(out, "Program%d" % n)
        with open(base + ".tam", "w", encoding="utf-8") as f:
            f.write("\n".join(body) + "\n")
        with open(base + ".caption.txt", "w", encoding="utf-8") as f:
            f.write(title + "\n")
        if "options" in setup:
            with open(base + ".option.txt", "w", encoding="utf-8") as f:
                f.write("\n".join(setup["options"].split(";")) + "\n")
        title = None
        n += 1
    return n


def build(docs, out):
    os.makedirs(out, exist_ok=True)
    for lang in LANGS:
        page = Page(lang)
        for name in ("guide.%s.txt" % lang, "functions.txt", "cookbook.txt"):
            page.add_source(os.path.join(docs, name))
        page.add_mails(os.path.join(docs, "mails"))
        page.check_links()
        with open(os.path.join(out, PAGE[lang]), "w", encoding="utf-8") as f:
            f.write(page.render())
        print("%s: %d functions" % (os.path.join(out, PAGE[lang]), len(page.functions)))


if __name__ == "__main__":
    args = sys.argv[1:]
    cookbook = args[:1] == ["--cookbook"]
    if cookbook:
        args = args[1:]
    if len(args) != 2:
        sys.stderr.write("usage: build_docs.py [--cookbook] DOCS_DIR OUT_DIR\n")
        sys.exit(2)
    try:
        if cookbook:
            print("%s: %d programs" % (args[1], export_cookbook(args[0], args[1])))
        else:
            build(args[0], args[1])
    except (Error, OSError) as e:
        sys.stderr.write("build_docs: %s\n" % e)
        sys.exit(1)
