#!/usr/bin/env python3
"""Plants misspellings into the corpus at recorded positions.

  inject.py WORK ORTHSPELL

Reads WORK/corpus/FORMAT/NAME and writes WORK/injected/FORMAT/NAME plus
  WORK/injections.tsv  format, name, line, column, typo, original, kind, construct
                       kind "prose": a misspelling every checker must report
                       there; kind "leak": a probe inside a construct the format
                       says is not prose, which must not be reported
  WORK/blocks.tsv      format, name, first line, last line of each probe block
                       (left out of the word counts and of the other flags)
Lines and columns count from 1, columns in characters.

Prose is chosen with simple rules of this script's own per format, so the
benchmark does not lean on any checker's parser: Markdown paragraph lines
outside fences, HTML blocks and indented blocks, away from code spans, links
and tags; the text of <p> elements outside <a>, <code> and the like; TeX lines
of the document body outside math, verbatim and environments other than lists
and quotes, at brace depth 0; comments of C and Python without code in them;
man text lines that are not requests, outside no-fill, tables and macros; mail
body lines not quoted, not indented, not in listings, above the signature.
Only a lower-case word of at least five letters standing alone between spaces
and plain punctuation is replaced, at most one a line, by a synthetic slip
(letters transposed, dropped, doubled or substituted) that aspell, hunspell
and orthspell all reject and that is none of the misspellings in codespell's
dictionary (the ranked suggester was tuned on half of those), while the word
it replaces is one they all accept. The random choices use a fixed seed per
file, so the same corpus and dictionaries give the same injections.
"""
import html.parser
import io
import os
import random
import re
import subprocess
import sys
import tokenize

SEED = 20240611
WORDS_PER_TYPO = 200  # one prose injection for this many words of a file
CODESPELL = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"
TOKEN = re.compile(r"[A-Za-z]+(?:'[A-Za-z]+)*")
CANDIDATE = re.compile(r"(?<![A-Za-z0-9_'\u2019-])[a-z]{5,}(?![A-Za-z0-9_'\u2019-])")
# The whitespace-delimited token around a candidate may hold only this punctuation.
PLAIN_TOKEN = re.compile(r'[("]*[a-z]+(?:[,;:)"?!]|\.(?=$|[)"\s]))*')
KEYBOARD = ["qwertyuiop", "asdfghjkl", "zxcvbnm"]
# Ordinary words the leak probes are made from.
PROBE_WORDS = ["manager", "program", "library", "message", "version", "package", "channel",
               "process", "handler", "machine", "network", "comment", "history", "service",
               "benefit", "balance", "printer", "surface", "village", "harvest", "blanket",
               "capture", "kitchen", "contract", "pattern", "feature", "journey", "weather"]


def neighbours(ch):
    for row in KEYBOARD:
        i = row.find(ch)
        if i >= 0:
            return [row[j] for j in (i - 1, i + 1) if 0 <= j < len(row)]
    return []


def slips(word, rng, count=6):
    """Up to COUNT distinct synthetic misspellings of WORD, of mixed kinds."""
    out = []
    kinds = ["transpose", "drop", "double", "substitute"]
    for attempt in range(40):
        kind = kinds[attempt % 4] if attempt < 8 else rng.choice(kinds)
        n = len(word)
        if kind == "transpose":
            i = rng.randrange(1, n - 1)
            if word[i] == word[i + 1]:
                continue
            typo = word[:i] + word[i + 1] + word[i] + word[i + 2:]
        elif kind == "drop":
            i = rng.randrange(1, n)
            typo = word[:i] + word[i + 1:]
        elif kind == "double":
            i = rng.randrange(1, n)
            if word[i] == word[i - 1] or (i + 1 < n and word[i] == word[i + 1]):
                continue
            typo = word[:i + 1] + word[i] + word[i + 1:]
        else:
            i = rng.randrange(1, n)
            choices = [c for c in neighbours(word[i]) if c != word[i]]
            if not choices:
                continue
            typo = word[:i] + rng.choice(choices) + word[i + 1:]
        if typo != word and typo not in out:
            out.append(typo)
        if len(out) == count:
            break
    return out


def plain_word_at(line, start, end):
    """True when line[start:end] stands alone between spaces and plain punctuation."""
    left = start
    while left > 0 and not line[left - 1].isspace():
        left -= 1
    right = end
    while right < len(line) and not line[right].isspace():
        right += 1
    token = line[left:right]
    return PLAIN_TOKEN.fullmatch(token) is not None and token.strip('("').startswith(line[start:end])


def words_in(line, allowed=None, after_tag_ok=True):
    """Candidate words of LINE: (start column from 0, word), inside ALLOWED (a
    list of booleans per character) when given."""
    found = []
    for m in CANDIDATE.finditer(line):
        s, e = m.span()
        if allowed is not None and not all(allowed[s:e]):
            continue
        if not plain_word_at(line, s, e):
            continue
        if not after_tag_ok:
            before = line[:s].split()
            if before and before[-1][0] in "@\\":
                continue
        found.append((s, m.group()))
    return found


# --- Markdown ---------------------------------------------------------------

def markdown_mask(line):
    """Characters outside code spans, links, link destinations and tags; and
    whether a construct is left open at the end of the line."""
    allowed = [True] * len(line)
    i, n = 0, len(line)
    while i < n:
        ch = line[i]
        if ch == "\\":
            allowed[i] = False
            i += 2
            continue
        if ch == "`":
            j = i
            while j < n and line[j] == "`":
                j += 1
            run = line[i:j]
            close = re.compile(r"(?<!`)" + run + r"(?!`)").search(line, j)
            stop = close.end() if close else n
            for k in range(i, stop):
                allowed[k] = False
            if not close:
                return allowed, True
            i = stop
            continue
        if ch in "[<":
            closer = "]" if ch == "[" else ">"
            depth, j = 0, i
            while j < n:
                if line[j] == ch:
                    depth += 1
                elif line[j] == closer:
                    depth -= 1
                    if depth == 0:
                        break
                j += 1
            if j >= n:
                for k in range(i, n):
                    allowed[k] = False
                return allowed, True
            for k in range(i, j + 1):
                allowed[k] = False
            i = j + 1
            if ch == "[" and i < n and line[i] in "([":
                closer = ")" if line[i] == "(" else "]"
                j = line.find(closer, i)
                if j < 0:
                    for k in range(i, n):
                        allowed[k] = False
                    return allowed, True
                for k in range(i, j + 1):
                    allowed[k] = False
                i = j + 1
            continue
        i += 1
    return allowed, False


def markdown_lines(lines):
    """Prose candidates of a Markdown file and the blank lines a probe block may follow."""
    found, slots = [], []
    fence = None
    html_block = False
    tainted = False  # a construct left open earlier in this paragraph
    start = 0
    if lines and lines[0].strip() == "---":  # front matter
        for j in range(1, len(lines)):
            if lines[j].strip() in ("---", "..."):
                start = j + 1
                break
    for i in range(start, len(lines)):
        line = lines[i]
        if fence:
            if re.match(r" {0,3}" + re.escape(fence[0]) + "{" + str(len(fence)) + r",}\s*$", line):
                fence = None
            continue
        m = re.match(r" {0,3}(`{3,}|~{3,})", line)
        if m:
            fence = m.group(1)
            continue
        if not line.strip():
            html_block = tainted = False
            if i + 1 < len(lines) and lines[i + 1].strip() and not lines[i + 1][0].isspace():
                slots.append(i)
            continue
        stripped = line.lstrip(" ")
        if html_block or tainted:
            continue
        if line.startswith("\t") or len(line) - len(stripped) >= 4:
            continue
        if stripped.startswith("<"):
            html_block = True
            continue
        if stripped[0] in "#>|[" or "|" in line or re.fullmatch(r"[=\-*_ ]{3,}", stripped):
            continue
        if i + 1 < len(lines) and re.fullmatch(r" {0,3}(=+|-+)\s*", lines[i + 1]):
            continue  # a setext heading
        allowed, left_open = markdown_mask(line)
        if left_open:
            tainted = True
        found += [(i, s, w) for s, w in words_in(line, allowed)]
    return found, slots


MARKDOWN_PROBE = [
    ("```sh", []),
    ("{0} --verbose", [("fence", 0)]),
    ("```", []),
    ("", []),
    ("Run `{1}` first, see <https://example.org/{2}> and [the notes](https://example.org/{3}.html).",
     [("code span", 1), ("autolink", 2), ("link destination", 3)]),
    ("", []),
    ("    {4} = 1", [("indented code", 4)]),
    ("", []),
]

# --- HTML -------------------------------------------------------------------

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
        "source", "track", "wbr"}
BLOCK = {"address", "article", "aside", "blockquote", "div", "dl", "fieldset", "footer", "form",
         "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr", "main", "nav", "ol", "p", "pre",
         "section", "table", "ul"}
INLINE_PROSE = {"em", "strong", "i", "b"}
NOT_PROSE = {"pre", "script", "style", "code", "tt", "kbd", "samp", "var", "textarea"}


class ProseParser(html.parser.HTMLParser):
    """Collects the text of paragraphs: <p> elements and DocBook's <div
    class="para">, outside code-like elements, with only emphasis inside."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.stack = []
        self.segments = []  # (line from 1, column from 0, raw text)
        self.tag_lines = []  # (line, the elements open after a tag)

    def note_tag(self):
        self.tag_lines.append((self.getpos()[0], frozenset(self.stack)))

    def handle_starttag(self, tag, attrs):
        para = tag == "div" and "para" in (dict(attrs).get("class") or "").split()
        if (tag in BLOCK or para) and "p" in self.stack:
            while self.stack and self.stack[-1] != "p":
                self.stack.pop()
            self.stack.pop()
        if tag not in VOID:
            self.stack.append("para" if para else tag)
        self.note_tag()

    def handle_endtag(self, tag):
        names = {tag, "para"} if tag == "div" else {tag}
        for k in range(len(self.stack) - 1, -1, -1):
            if self.stack[k] in names:
                del self.stack[k:]
                break
        self.note_tag()

    def handle_data(self, data):
        roots = [k for k, t in enumerate(self.stack) if t in ("p", "para")]
        if not roots or set(self.stack) & NOT_PROSE:
            return
        if all(t in INLINE_PROSE for t in self.stack[roots[-1] + 1:]):
            line, col = self.getpos()
            self.segments.append((line, col, data))


def html_lines(lines):
    parser = ProseParser()
    parser.feed("\n".join(lines))
    parser.close()
    allowed = [[False] * len(line) for line in lines]
    for line, col, data in parser.segments:
        row, c = line - 1, col
        for ch in data:
            if ch == "\n":
                row, c = row + 1, 0
                continue
            if row < len(lines) and c < len(lines[row]):
                allowed[row][c] = True
            c += 1
    found = []
    for i, line in enumerate(lines):
        if any(allowed[i]):
            found += [(i, s, w) for s, w in words_in(line, allowed[i])]
    # A probe block goes after a line of the body that ends outside code-like
    # elements, between paragraphs where the file has such places (DocBook's
    # files have hardly any: there it may go inside a paragraph).
    open_at_end, events, current = [], iter(parser.tag_lines), frozenset()
    event = next(events, None)
    for row in range(1, len(lines) + 1):
        while event and event[0] <= row:
            current, event = event[1], next(events, None)
        open_at_end.append(current)
    usable = [i for i in range(len(lines) - 1)
              if "body" in open_at_end[i] and not open_at_end[i] & NOT_PROSE
              and re.search(r">[^<>]*$", lines[i])]  # not inside a tag
    slots = [i for i in usable if not open_at_end[i] & {"p", "para"}] or usable
    return found, slots


HTML_PROBE = [
    ('<script type="text/javascript">', []),
    ("var {0} = 0;", [("script", 0)]),
    ("</script>", []),
    ("<style>.{1} {{ color: red; }}</style>", [("style", 1)]),
    ("<!-- {2} -->", [("comment", 2)]),
    ('<p>See <a href="https://example.org/{3}.html">the notes</a>.</p>', [("attribute", 3)]),
]

# --- TeX --------------------------------------------------------------------

PROSE_ENVS = {"document", "itemize", "enumerate", "description", "quote", "quotation",
              "abstract", "center", "flushleft", "flushright"}
VERBATIM_ENVS = {"verbatim", "verbatim*", "lstlisting", "minted", "alltt", "comment",
                 "filecontents", "filecontents*", "macrocode", "Verbatim", "BVerbatim",
                 "LVerbatim", "example", "tcblisting"}


def tex_scan(line, depth):
    """Returns the line's allowed characters (depth 0, outside |..|, \\verb,
    math, brackets and comments), the code part (comments and verbatim text
    blanked), the depth at its end and whether it holds math or is unclear."""
    allowed = [False] * len(line)
    code = list(line)
    i, n = 0, len(line)
    unclear = False
    bracket = 0
    while i < n:
        ch = line[i]
        if ch == "\\":
            m = re.match(r"\\verb\*?(.)", line[i:])
            if m:
                close = line.find(m.group(1), i + m.end())
                stop = n if close < 0 else close + 1
                for k in range(i, stop):
                    code[k] = " "
                unclear |= close < 0
                i = stop
                continue
            m = re.match(r"\\[A-Za-z@]+|\\.", line[i:])
            if m and m.group() in ("\\[", "\\(", "\\]", "\\)"):
                unclear = True
            i += m.end() if m else 1
            continue
        if ch == "%":
            for k in range(i, n):
                code[k] = " "
            break
        if ch == "|":
            close = line.find("|", i + 1)
            stop = n if close < 0 else close + 1
            for k in range(i, stop):
                code[k] = " "
            unclear |= close < 0
            i = stop
            continue
        if ch == "$":
            unclear = True
        elif ch == "{":
            depth += 1
        elif ch == "}":
            depth -= 1
        elif ch == "[":
            bracket += 1
        elif ch == "]":
            bracket = max(0, bracket - 1)
        elif depth == 0 and bracket == 0:
            allowed[i] = True
        i += 1
    return allowed, "".join(code), depth, unclear


def tex_lines(lines):
    found, slots = [], []
    begun = False
    verbatim = None
    stack = []
    depth = 0
    skipping_if = False
    for i, line in enumerate(lines):
        if verbatim:
            if "\\end{" + verbatim + "}" in line:
                verbatim = None
            continue
        if skipping_if:
            if re.match(r"\s*\\fi\b", line):
                skipping_if = False
            continue
        if re.match(r"\s*\\iffalse\b", line):
            skipping_if = True
            continue
        start_depth = depth
        allowed, code, depth, unclear = tex_scan(line, depth)
        if depth < 0:
            depth = 0
        envs = re.findall(r"\\(begin|end)\s*\{([^}]*)\}", code)
        for what, name in envs:
            if what == "begin":
                if name == "document":
                    begun = True
                if name in VERBATIM_ENVS:
                    verbatim = name
                    break
                stack.append(name)
            elif name in stack:
                while stack.pop() != name:
                    pass
        if not begun:
            continue
        if not line.strip():
            if (set(stack) <= {"document"} and depth == 0 and not verbatim
                    and i + 1 < len(lines) and lines[i + 1].strip()
                    and not lines[i + 1].lstrip().startswith("\\")):
                slots.append(i)
            continue
        if envs or unclear or start_depth != 0 or not set(stack) <= PROSE_ENVS:
            continue
        found += [(i, s, w) for s, w in words_in(line, allowed)]
    return found, slots


TEX_PROBE = [
    ("Then $y = {0}$ holds, and", [("inline math", 0)]),
    ("\\[ z = {1} \\]", [("display math", 1)]),
    ("see \\url{{https://example.org/{2}}} and \\label{{sec:{3}}}.", [("url", 2), ("label", 3)]),
    ("\\begin{{verbatim}}", []),
    ("{4} --help", [("verbatim", 4)]),
    ("\\end{{verbatim}}", []),
    ("", []),
]

# --- C and Python -------------------------------------------------------------

CODE_LIKE = re.compile(r"[;={}]|\w\(|->|>>>|^\s*#\s*(include|define|if)|::")


def comment_masks(lines, spans):
    """Per line: allowed characters inside the comment SPANS ((line, col) pairs
    from 0, end exclusive), except comment lines that look like code."""
    allowed = [[False] * len(line) for line in lines]
    for (l1, c1), (l2, c2) in spans:
        for row in range(l1, l2 + 1):
            a = c1 if row == l1 else 0
            b = c2 if row == l2 else len(lines[row])
            if CODE_LIKE.search(lines[row][a:b]):
                continue
            for k in range(a, b):
                allowed[row][k] = True
    return allowed


def c_comment_spans(lines):
    text = "\n".join(lines)
    spans, i, n = [], 0, len(text)
    starts = [0]
    for line in lines:
        starts.append(starts[-1] + len(line) + 1)

    def pos(offset):
        lo, hi = 0, len(lines)
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if starts[mid] <= offset:
                lo = mid
            else:
                hi = mid - 1
        return lo, offset - starts[lo]

    while i < n:
        ch = text[i]
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j
            spans.append((pos(i + 2), pos(j)))
            i = j + 2
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            spans.append((pos(i + 2), pos(j)))
            i = j
        elif ch in "\"'":
            j = i + 1
            while j < n and text[j] != ch and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif ch == "#" and (i == 0 or text[i - 1] == "\n") and re.match(r"#\s*include", text[i:]):
            i = text.find("\n", i)
            i = n if i < 0 else i
        else:
            i += 1
    return spans


def c_lines(lines):
    allowed = comment_masks(lines, c_comment_spans(lines))
    found = []
    for i, line in enumerate(lines):
        if any(allowed[i]):
            found += [(i, s, w) for s, w in words_in(line, allowed[i], after_tag_ok=False)]
    return found, [len(lines) - 1]


C_PROBE = [
    ("", []),
    ("#include <sys/{0}.h>", [("include path", 0)]),
    ('#include "{1}.h"', [("include path", 1)]),
    ("/* See https://example.org/{2}/ for details. */", [("url in comment", 2)]),
    ("extern int {3}_count;", [("identifier", 3)]),
]


def python_lines(lines):
    spans = []
    source = "\n".join(lines) + "\n"
    for tok in tokenize.generate_tokens(io.StringIO(source).readline):
        if tok.type != tokenize.COMMENT:
            continue
        (row, col), (_, end) = tok.start, tok.end
        body = tok.string
        if row <= 2 and (body.startswith("#!") or "coding" in body):
            continue
        if re.match(r"#\s*(type:|noqa|pragma|fmt:|pylint)", body):
            continue
        spans.append(((row - 1, col + 1), (row - 1, end)))
    allowed = comment_masks(lines, spans)
    found = []
    for i, line in enumerate(lines):
        if any(allowed[i]):
            found += [(i, s, w) for s, w in words_in(line, allowed[i], after_tag_ok=False)]
    return found, [len(lines) - 1]


PYTHON_PROBE = [
    ("", []),
    ("import {0}", [("import", 0)]),
    ("from {1} import path", [("import", 1)]),
    ("{2}_limit = 10", [("identifier", 2)]),
    ("# See https://example.org/{3}/ for details.", [("url in comment", 3)]),
]

# --- nroff ------------------------------------------------------------------

NOFILL = {".nf": ".fi", ".EX": ".EE", ".TS": ".TE", ".EQ": ".EN", ".PS": ".PE", ".de": "..",
          ".ig": "..", ".am": ".."}


def nroff_lines(lines):
    found, slots = [], []
    until = None
    after_tag = False
    sections = 0
    for i, line in enumerate(lines):
        request = line.split()[0] if line.split() else ""
        if until:
            if request == until or line.rstrip() == until:
                until = None
            continue
        if line.startswith((".", "'")):
            key = request[:3] if request[:3] in (".de", ".ig", ".am") else request
            until = NOFILL.get(key)
            after_tag = request in (".TP", ".TQ")
            if request == ".SH":
                sections += 1
                if sections > 1:
                    slots.append(i - 1)
            continue
        if after_tag:  # the tag line of .TP: options, usually
            after_tag = False
            continue
        if "\\" in line and re.search(r"\\[*n]|\\\"", line):
            continue
        found += [(i, s, w) for s, w in words_in(line)]
    return found, slots


NROFF_PROBE = [
    ('.\\" {0} is a comment', [("comment", 0)]),
    (".nr {1} 1", [("request argument", 1)]),
    (".UR https://example.org/{2}", [("url", 2)]),
    (".UE", []),
]

# --- mail -------------------------------------------------------------------


def email_lines(lines):
    found, slots = [], []
    body = None
    listing = None
    for i, line in enumerate(lines):
        if body is None:
            if not line.strip():
                body = i + 1
            continue
        if line.rstrip() in ("--", "-- ") or line.startswith("-----BEGIN PGP SIGNATURE"):
            break
        m = re.match(r"(-{3,}|\.{4,}|`{3,}|={3,}|~{3,}|\^{3,})\s*$", line)
        if m:
            title = lines[i - 1].strip() and abs(len(lines[i - 1].rstrip()) - len(m.group(1))) <= 1
            if not title and m.group(1)[0] in "-.`":  # a listing block opens or closes
                listing = None if listing == m.group(1)[0] else (listing or m.group(1)[0])
            continue
        if listing:
            continue
        if not line.strip():
            if i + 1 < len(lines) and lines[i + 1].strip() and i > body:
                slots.append(i)
            continue
        if line[0].isspace() or line.lstrip()[0] in ">|$+-@[" or CODE_LIKE.search(line) or re.match(
                r"(diff |commit |Author:|Date:|index |From |\w[\w-]*: )", line):
            continue
        found += [(i, s, w) for s, w in words_in(line)]
    return found, slots


EMAIL_PROBE = [
    ("> An earlier {0} was quoted here.", [("quoted", 0)]),
    (">> And {1} was quoted twice.", [("quoted", 1)]),
    ("See <https://example.org/{2}> or write to {3}@example.org.", [("url", 2), ("address", 3)]),
    ("", []),
]

FORMATS = {
    "markdown": (markdown_lines, MARKDOWN_PROBE),
    "html": (html_lines, HTML_PROBE),
    "tex": (tex_lines, TEX_PROBE),
    "c": (c_lines, C_PROBE),
    "python": (python_lines, PYTHON_PROBE),
    "nroff": (nroff_lines, NROFF_PROBE),
    "email": (email_lines, EMAIL_PROBE),
}


# --- the checkers' verdicts ---------------------------------------------------

def rejected_by(command, words):
    got = subprocess.run(command, input="\n".join(words) + "\n", capture_output=True,
                         text=True)
    if got.returncode != 0:
        sys.exit(f"{' '.join(command)}: {got.stderr.strip()}")
    return set(got.stdout.split())


def verdicts(words, orthspell):
    words = sorted(set(words))
    commands = [["aspell", "--lang=en_US", "--mode=none", "--encoding=utf-8", "list"],
                ["hunspell", "-d", "en_US", "-i", "utf-8", "-l"],
                [orthspell, "list"]]
    return [rejected_by(c, words) for c in commands]


def codespell_misspellings():
    if not os.path.exists(CODESPELL):
        sys.exit(f"{CODESPELL} is missing (Debian package codespell)")
    out = set()
    for line in open(CODESPELL, encoding="utf-8"):
        out.add(line.split("->", 1)[0].strip().lower())
    return out


def main():
    work, orthspell = sys.argv[1], sys.argv[2]
    corpus = os.path.join(work, "corpus")
    plans = []
    for fmt in FORMATS:
        folder = os.path.join(corpus, fmt)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            plans.append(plan(fmt, name, text))

    words = []
    for p in plans:
        words += [w for _, _, w, _ in p["positions"]]
        words += [t for _, _, _, typos in p["positions"] for t in typos]
        words += [t for typos in p["probe_typos"] for t in typos]
    aspell_bad, hunspell_bad, orth_bad = verdicts(words, orthspell)
    known_slips = codespell_misspellings()

    def good_typo(t):
        return (t in aspell_bad and t in hunspell_bad and t in orth_bad
                and t not in known_slips)

    def good_original(w):
        return w not in aspell_bad and w not in hunspell_bad and w not in orth_bad

    rows, blocks = [], []
    for p in plans:
        write_file(work, p, good_typo, good_original, rows, blocks)
    with open(os.path.join(work, "injections.tsv"), "w") as f:
        f.write("format\tname\tline\tcolumn\ttypo\toriginal\tkind\tconstruct\n")
        for r in rows:
            f.write("\t".join(str(x) for x in r) + "\n")
    with open(os.path.join(work, "blocks.tsv"), "w") as f:
        f.write("format\tname\tfirst\tlast\n")
        for b in blocks:
            f.write("\t".join(str(x) for x in b) + "\n")
    for fmt in FORMATS:
        prose = sum(1 for r in rows if r[0] == fmt and r[6] == "prose")
        leaks = sum(1 for r in rows if r[0] == fmt and r[6] == "leak")
        files = len({r[1] for r in rows if r[0] == fmt})
        print(f"  {fmt}: {prose} misspellings in prose, {leaks} leak probes, {files} files")


def plan(fmt, name, text):
    rng = random.Random(f"{SEED}/{fmt}/{name}")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    finder, probe = FORMATS[fmt]
    candidates, slots = finder(lines)
    # The probe block goes after one of the slots; its lines are then not prose.
    slot = rng.choice(slots) if slots else None
    by_line = {}
    for i, s, w in candidates:
        by_line.setdefault(i, []).append((s, w))
    chosen_lines = sorted(by_line)
    rng.shuffle(chosen_lines)
    total_words = len(TOKEN.findall(text))
    want = max(2, round(total_words / WORDS_PER_TYPO))
    positions = []
    for i in chosen_lines[:want * 2]:
        s, w = rng.choice(by_line[i])
        positions.append((i, s, w, slips(w, rng)))
    probe_count = 1 + max((k for _, uses in probe for _, k in uses), default=-1)
    probe_typos = [slips(rng.choice(PROBE_WORDS), rng) for _ in range(probe_count)]
    return {"fmt": fmt, "name": name, "lines": lines, "slot": slot, "positions": positions,
            "want": want, "probe": probe, "probe_typos": probe_typos}


def write_file(work, p, good_typo, good_original, rows, blocks):
    lines = list(p["lines"])
    fmt, name = p["fmt"], p["name"]
    injected = []
    used = set()
    for i, s, w, typos in p["positions"]:
        if len(injected) == p["want"]:
            break
        if not good_original(w):
            continue
        typo = next((t for t in typos if good_typo(t) and t not in used), None)
        if typo is None:
            continue
        used.add(typo)
        lines[i] = lines[i][:s] + typo + lines[i][s + len(w):]
        injected.append((i, s, typo, w))
    # Insert the probe block after its slot; later lines move down.
    shift_from, shift = None, 0
    if p["slot"] is not None:
        fills = []
        for typos in p["probe_typos"]:
            fills.append(next((t for t in typos if good_typo(t) and t not in used), typos[0]))
            used.add(fills[-1])
        block, probes = [], []
        at = p["slot"] + 1
        for k, (template, uses) in enumerate(p["probe"]):
            text = template.format(*fills)
            block.append(text)
            for construct, index in uses:
                col = len(template.split("{%d}" % index)[0].format(*fills))
                probes.append((at + k, col, fills[index], construct))
        lines[at:at] = block
        shift_from, shift = at, len(block)
        blocks.append((fmt, name, at + 1, at + len(block)))
        for line, col, typo, construct in probes:
            rows.append((fmt, name, line + 1, col + 1, typo, "", "leak", construct))
    for i, s, typo, w in sorted(injected):
        if shift_from is not None and i >= shift_from:
            i += shift
        rows.append((fmt, name, i + 1, s + 1, typo, w, "prose", ""))
    target = os.path.join(work, "injected", fmt, name)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
