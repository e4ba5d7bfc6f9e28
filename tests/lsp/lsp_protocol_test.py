"""The protocol suite of `orthspell lsp`: drives the built server through
pipes, one function per behaviour family.

usage: lsp_protocol_test.py ORTHSPELL DICTIONARY WORKDIR [TEST...]
"""
import json
import os
import random
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lsp_client import Client  # noqa: E402

ORTHSPELL, DICTIONARY, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL " + what)


def server(*extra, debounce=0, env=None):
    environment = dict(os.environ, XDG_DATA_HOME=os.path.join(WORK, "xdg"))
    environment.update(env or {})
    return Client([ORTHSPELL, "lsp", "-d", DICTIONARY, "--debounce", str(debounce), *extra],
                  environment)


def uri(name):
    return "file://" + os.path.join(WORK, name)


def words(text, diagnostics, encoding="utf-16"):
    """The text each diagnostic's range covers, read back in `encoding`."""
    lines = text.split("\n")
    out = []
    for d in diagnostics:
        r = d["range"]
        assert r["start"]["line"] == r["end"]["line"]
        line = lines[r["start"]["line"]]
        if encoding == "utf-16":
            units = line.encode("utf-16-le")
            out.append(units[2 * r["start"]["character"]:2 * r["end"]["character"]]
                       .decode("utf-16-le"))
        else:
            raw = line.encode("utf-8")
            out.append(raw[r["start"]["character"]:r["end"]["character"]].decode("utf-8"))
    return out


def summary(diagnostics):
    return sorted((d["range"]["start"]["line"], d["range"]["start"]["character"],
                   d["range"]["end"]["line"], d["range"]["end"]["character"], d["code"],
                   d["data"]["word"]) for d in diagnostics)


def finish(client):
    reply = client.call("shutdown")
    client.notify("exit")
    return reply, client.close()


def test_framing():
    c = server()
    body = json.dumps({"jsonrpc": "2.0", "id": 1, "method": "initialize",
                       "params": {"capabilities": {}}}).encode()
    second = json.dumps({"jsonrpc": "2.0", "id": 2, "method": "nosuch"}).encode()
    # Two messages in one write, the second with another header and a lower-case name;
    # then a message cut into pieces.
    c.write_raw(b"Content-Length: %d\r\n\r\n%s" % (len(body), body) +
                b"Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n"
                b"content-length: %d\r\n\r\n%s" % (len(second), second))
    check("result" in c.wait(lambda m: m.get("id") == 1), "framing: first of two")
    check(c.wait(lambda m: m.get("id") == 2)["error"]["code"] == -32601, "framing: second of two")
    third = json.dumps({"jsonrpc": "2.0", "id": 3, "method": "nosuch"}).encode()
    whole = b"Content-Length: %d\r\n\r\n%s" % (len(third), third)
    for piece in (whole[:7], whole[7:20], whole[20:-3], whole[-3:]):
        c.write_raw(piece)
        time.sleep(0.02)
    check(c.wait(lambda m: m.get("id") == 3)["error"]["code"] == -32601, "framing: in pieces")
    # Headers without a usable length get an error without an id; reading goes on.
    c.write_raw(b"Content-Type: x\r\n\r\n")
    check(c.wait(lambda m: "error" in m)["id"] is None, "framing: no Content-Length")
    c.write_raw(b"Content-Length: 1x\r\n\r\n")
    check(c.wait(lambda m: "error" in m)["error"]["code"] == -32700, "framing: bad length")
    check(c.call("nosuch")["error"]["code"] == -32601, "framing: goes on after errors")
    reply, status = finish(c)
    check(reply.get("result", 1) is None and status == 0, "framing: shutdown %s" % reply)

    # A message over 64 MiB is refused from its header, its body skipped as it comes.
    c = server()
    c.initialize()
    size = 64 * 1024 * 1024 + 1
    c.write_raw(b"Content-Length: %d\r\n\r\n" % size)
    error = c.wait(lambda m: "error" in m, timeout=30)
    check(error["id"] is None and error["error"]["code"] == -32600 and
          "limit" in error["error"]["message"], "framing: over 64 MiB")
    chunk = b" " * (1 << 20)
    for _ in range(64):
        c.write_raw(chunk)
    c.write_raw(b" ")
    check(c.call("nosuch")["error"]["code"] == -32601, "framing: after a refused body")
    check(finish(c)[1] == 0, "framing: exit after a refused body")


def test_malformed():
    c = server()
    table = [  # (body, expected code)
        (b"{not json", -32700),
        (b"[1,2]", -32600),
        (b"5", -32600),
        (b'{"id":1,"method":"initialize"}', -32600),  # no "jsonrpc"
        (b'{"jsonrpc":"2.0","id":{},"method":"x"}', -32600),
        (b'{"jsonrpc":"2.0","id":1,"method":7}', -32600),
        (b'{"jsonrpc":"2.0","id":1,"method":"x","params":3}', -32600),
        (b'{"jsonrpc":"2.0","id":1}', -32600),
        (b"[" * 100000 + b"]" * 100000, -32700),
        (b'{"jsonrpc":"2.0","id":9,"method":"textDocument/codeAction"}', -32002),
        (b"\xff\xfe{}", -32700),
    ]
    for body, code in table:
        c.write_raw(b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
        reply = c.wait(lambda m: "error" in m)
        check(reply["error"]["code"] == code,
              "malformed %r: %s" % (body[:40], reply["error"]))
    c.initialize()
    check(c.call("initialize", {"capabilities": {}})["error"]["code"] == -32600,
          "malformed: a second initialize")
    bad_params = [
        ("textDocument/codeAction", {"textDocument": 5}),
        ("textDocument/codeAction", None),
        ("workspace/executeCommand", {"command": 3}),
        ("workspace/executeCommand", {"command": "orthspell.addWord", "arguments": [7]}),
        ("workspace/executeCommand", {"command": "orthspell.nosuch", "arguments": []}),
    ]
    for method, params in bad_params:
        reply = c.call(method, params)
        check(reply.get("error", {}).get("code") == -32602, "malformed params %s %r: %s"
              % (method, params, reply))
    # Bad notifications change nothing and get no answer; cancelling is harmless.
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("none.txt"), "version": 2},
                                        "contentChanges": [{"text": "x"}]})
    c.notify("textDocument/didOpen", {"textDocument": {"uri": 5}})
    # A change without a version changes nothing.
    c.open(uri("m.txt"), "wrold\n")
    c.diagnostics(uri("m.txt"))
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("m.txt")},
                                        "contentChanges": [{"text": "helo\n"}]})
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("m.txt"), "version": 2},
                                        "contentChanges": [{"range": {
                                            "start": {"line": 0, "character": 5},
                                            "end": {"line": 0, "character": 5}}, "text": "s"}]})
    got = c.diagnostics(uri("m.txt"), 2)["diagnostics"]
    check([d["data"]["word"] for d in got] == ["wrolds"], "malformed: versionless change %s" % got)
    c.notify("$/cancelRequest", {"id": 1})
    c.notify("$/setTrace", {"value": "off"})
    c.notify("nosuch/notification", {})
    check(c.call("nosuch")["error"]["code"] == -32601, "malformed: unknown request")
    check(not [m for m in c.drain() if "id" in m and "error" not in m],
          "malformed: no stray answers")
    shutdown, status = finish(c)
    check(status == 0, "malformed: exit status %s" % status)

    # After shutdown, requests fail; exit without shutdown exits with 1.
    c = server()
    c.initialize()
    c.call("shutdown")
    check(c.call("textDocument/codeAction", {})["error"]["code"] == -32600,
          "malformed: request after shutdown")
    c.notify("exit")
    check(c.close() == 0, "malformed: exit after shutdown")
    c = server()
    c.initialize()
    c.notify("exit")
    check(c.close() == 1, "malformed: exit without shutdown")
    c = server()
    c.initialize()
    check(c.close() == 1, "malformed: input closed without exit")


LINE = "Ünïcode é 😀 wrold 中文 helo 𝒳"


def test_positions():
    text = "plain wrold\n" + LINE + "\r\n\nzz " + LINE + "\n"
    for offered, encoding in ((None, "utf-16"), (["utf-16"], "utf-16"),
                              (["utf-8", "utf-16"], "utf-8")):
        c = server()
        capabilities = {"general": {"positionEncodings": offered}} if offered else {}
        reply = c.initialize(capabilities)
        check(reply["result"]["capabilities"]["positionEncoding"] == encoding,
              "positions: %s negotiated" % encoding)
        c.open(uri("pos.txt"), text)
        diagnostics = c.diagnostics(uri("pos.txt"))["diagnostics"]
        got = words(text.replace("\r\n", "\n"), diagnostics, encoding)
        check(got == ["wrold", "Ünïcode", "é", "wrold", "helo", "zz", "Ünïcode", "é", "wrold",
                      "helo"],
              "positions %s: %s" % (encoding, got))
        check(all(d["data"]["range"] == d["range"] for d in diagnostics),
              "positions: data holds the range")
        # An edit placed after the astral and CJK characters, in the negotiated units.
        line = LINE
        start = line.index("helo")
        if encoding == "utf-16":
            character = len(line[:start].encode("utf-16-le")) // 2
        else:
            character = len(line[:start].encode("utf-8"))
        c.notify("textDocument/didChange", {
            "textDocument": {"uri": uri("pos.txt"), "version": 2},
            "contentChanges": [{"range": {"start": {"line": 1, "character": character},
                                          "end": {"line": 1, "character": character + 4}},
                                "text": "hello"}]})
        after = c.diagnostics(uri("pos.txt"), 2)["diagnostics"]
        got = words(text.replace("\r\n", "\n").replace("helo 𝒳\n", "hello 𝒳\n", 1),
                    after, encoding)
        check(got == ["wrold", "Ünïcode", "é", "wrold", "zz", "Ünïcode", "é", "wrold", "helo"],
              "positions %s after an edit: %s" % (encoding, got))
        finish(c)


def test_long_text():
    """A document longer than the server reads apart from the JSON library,
    with every kind of escape, reads as the same document sent short."""
    c = server()
    c.initialize()
    lines = [LINE, 'say "wrold" \\ back\\slash\ttab', "/slash/ helo\u0001", "x"]
    text = "\n".join(lines * 1200) + "\n"
    for name, ascii_only in (("raw.txt", False), ("escaped.txt", True)):
        c.send({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {"textDocument": {
            "uri": uri(name), "languageId": "plaintext", "version": 1, "text": text}}},
            ensure_ascii=ascii_only)
        got = c.diagnostics(uri(name))["diagnostics"]
        check(len(text.encode()) > 64 * 1024 and len(got) == 1200 * 6 and
              words(text, got) == ["Ünïcode", "é", "wrold", "helo", "wrold", "helo"] * 1200 and
              got[-1]["range"]["start"]["line"] == 1200 * 4 - 2,
              "long text %s: %d %s" % (name, len(got), words(text, got[-6:])))
    # A change that replaces everything with a long text, and a key that is long.
    c.send({"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {
        "textDocument": {"uri": uri("raw.txt"), "version": 2},
        "contentChanges": [{"text": "helo wrold\n" * 20000}], "x" * 70000: 1}},
        ensure_ascii=True)
    got = c.diagnostics(uri("raw.txt"), 2)["diagnostics"]
    check(len(got) == 40000, "long text: a whole new text %d" % len(got))
    # One long line of findings after astral and accented characters: every
    # range (counted on along the line) and the last one's quick fix.
    line = "𝒳 é wrold helo " * 3000
    c.open(uri("line.txt"), line + "\n")
    got = c.diagnostics(uri("line.txt"))["diagnostics"]
    check(words(line, got) == ["é", "wrold", "helo"] * 3000, "long text: one long line")
    actions = ask_actions(c, "line.txt", got[-2])
    edit = actions[0]["edit"]["changes"][uri("line.txt")][0]
    check(edit["range"] == got[-2]["range"] and edit["newText"] == "world",
          "long text: a quick fix at the end of a long line %s" % edit)
    # One long identifier of misspelled parts.
    line = "xHelo" + "Wrold" * 3000
    c.open(uri("ident.txt"), line + "\n")
    got = c.diagnostics(uri("ident.txt"))["diagnostics"]
    check(words(line, got) == ["Helo"] + ["Wrold"] * 3000, "long text: one long identifier")
    # A long string that is not valid JSON is the JSON library's error.
    body = b'{"jsonrpc":"2.0","id":7,"method":"x","params":{"a":"' + b"\\q" * 40000 + b'"}}'
    c.write_raw(b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
    check(c.wait(lambda m: "error" in m)["error"]["code"] == -32700, "long text: bad escape")
    finish(c)


MARKDOWN = """# Title with a wrold

Some text about the the cat.
It goes on, helo there.

```
code block with wrold inside
```

- a list item with teh word
- another itme

Final paragraph wrold.
"""


def apply(text, start, end, new):
    return text[:start] + new + text[end:]


def position(text, offset):
    before = text[:offset]
    line = before.count("\n")
    column = before[before.rfind("\n") + 1:]
    return {"line": line, "character": len(column.encode("utf-16-le")) // 2}


def test_incremental():
    """After any edits, the diagnostics are those of the same text opened afresh."""
    c = server()
    c.initialize()
    fresh = server()
    fresh.initialize()
    rng = random.Random(17)
    pieces = ["\n\n", "\n", " wrold ", "the ", "```\n", "\n```\n", "\n\n```\n", "x", "", "é😀", "# ", "- itme\n",
              "helo\n\nthe", "`code`", "<!-- orthspell: ignore wrold -->\n"]
    # Long enough that an edit re-reads only some of its paragraphs.
    text = MARKDOWN * 12
    c.open(uri("inc.md"), text, "markdown")
    c.diagnostics(uri("inc.md"), 1)
    # Named edits first: a range over several lines, and joins of paragraphs.
    named = [
        # A fence that turns the rest of the document inside out, and its removal.
        (len(MARKDOWN) * 5, len(MARKDOWN) * 5, "```\n"),
        (len(MARKDOWN) * 5, len(MARKDOWN) * 5 + 4, ""),
        (text.index("about"), text.index("goes"), "about\n\nthe the\n"),  # spans lines
        (text.index("cat.") + 2, text.index("cat.") + 3, "t.\n\nThe"),  # splits one
    ]
    version = 1
    for step in range(150):
        if named:
            start, end, new = named.pop(0)
        else:
            start = rng.randrange(len(text) + 1)
            end = min(len(text), start + rng.choice([0, 0, 1, 2, 5, 20]))
            new = rng.choice(pieces)
        version += 1
        change = {"range": {"start": position(text, start), "end": position(text, end)},
                  "text": new}
        if step % 50 == 49:
            change = {"text": apply(text, start, end, new)}  # a whole new text
        text = apply(text, start, end, new)
        c.notify("textDocument/didChange", {"textDocument": {"uri": uri("inc.md"),
                                                             "version": version},
                                            "contentChanges": [change]})
        if step % 3 != 2 and step >= 4:
            continue  # several edits before each comparison
        got = c.diagnostics(uri("inc.md"), version)["diagnostics"]
        name = "fresh%d.md" % version
        fresh.open(uri(name), text, "markdown")
        want = fresh.diagnostics(uri(name))["diagnostics"]
        if summary(got) != summary(want):
            check(False, "incremental step %d: %s\n  want %s\n  text %r"
                  % (step, summary(got), summary(want), text))
            break
    # A join of paragraphs makes a doubled word across the old break.
    text2 = "One the\n\nthe cat.\n"
    c.open(uri("join.txt"), text2)
    check(c.diagnostics(uri("join.txt"))["diagnostics"] == [], "incremental: no doubled yet")
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("join.txt"), "version": 2},
                                        "contentChanges": [{"range": {
                                            "start": {"line": 1, "character": 0},
                                            "end": {"line": 2, "character": 0}}, "text": ""}]})
    got = c.diagnostics(uri("join.txt"), 2)["diagnostics"]
    check([d["code"] for d in got] == ["doubled"], "incremental: joined paragraphs %s" % got)
    finish(c)
    finish(fresh)


def test_versions():
    """Quick edits: one publish after the pause, never an older version after a newer."""
    c = server(debounce=100)
    c.initialize()
    c.open(uri("v.txt"), "helo\n")
    c.diagnostics(uri("v.txt"), 1)
    for version in range(2, 12):
        c.notify("textDocument/didChange", {
            "textDocument": {"uri": uri("v.txt"), "version": version},
            "contentChanges": [{"range": {"start": {"line": 0, "character": 0},
                                          "end": {"line": 0, "character": 0}},
                                "text": "x"}]})
    last = c.diagnostics(uri("v.txt"), 11)
    check(last["diagnostics"][0]["data"]["word"] == "xxxxxxxxxxhelo", "versions: last text")
    published = [m["params"]["version"] for m in c.drain(0.3)
                 if m.get("method") == "textDocument/publishDiagnostics"]
    check(published == [], "versions: published once after the pause, then %s" % published)
    # A code action asked before the pause ends sees the current text.
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("v.txt"), "version": 12},
                                        "contentChanges": [{"text": "the wrold\n"}]})
    actions = c.call("textDocument/codeAction", {
        "textDocument": {"uri": uri("v.txt")},
        "range": {"start": {"line": 0, "character": 5}, "end": {"line": 0, "character": 5}},
        "context": {"diagnostics": []}})["result"]
    check(actions and actions[0]["title"] == "Replace with «world»",
          "versions: actions on the current text %s" % actions[:1])
    versions = [m["params"]["version"] for m in c.drain(0.3)
                if m.get("method") == "textDocument/publishDiagnostics"]
    check(versions == sorted(versions) and versions[-1:] == [12],
          "versions: in order %s" % versions)
    finish(c)


def action_titles(actions):
    return [a["title"] for a in actions]


def ask_actions(c, name, diagnostic):
    return c.call("textDocument/codeAction", {
        "textDocument": {"uri": uri(name)}, "range": diagnostic["range"],
        "context": {"diagnostics": [diagnostic]}})["result"]


def test_code_actions():
    fixes = os.path.join(WORK, "fixes.lex")
    with open(fixes, "w") as f:
        f.write("#LID 0000 0 1\nteh:the\n")
    c = server("--replacements", fixes)
    c.initialize()
    text = "Ünïcode 😀 wrold\nthe the cat\nteh end\non debian\n"
    c.open(uri("a.txt"), text)
    diagnostics = c.diagnostics(uri("a.txt"))["diagnostics"]
    by_word = {d["data"]["word"]: d for d in diagnostics if d["code"] != "doubled"}
    doubled = [d for d in diagnostics if d["code"] == "doubled"]
    check(sorted(d["code"] for d in diagnostics) ==
          ["case", "doubled", "misspelled", "misspelled", "replacement"],
          "actions: kinds %s" % [d["code"] for d in diagnostics])
    # A word in a case its dictionary rules out: the right form first (once), the
    # other suggestions after it, and it can be kept.
    actions = ask_actions(c, "a.txt", by_word["debian"])
    titles = action_titles(actions)
    check(titles[0] == "Replace with «Debian»" and titles.count("Replace with «Debian»") == 1 and
          len(titles) > 3 and titles[-2:] == ["Add «debian» to the personal word list",
                                              "Ignore «debian» in this document"] and
          actions[0].get("isPreferred") and not actions[1].get("isPreferred") and
          actions[0]["edit"]["changes"][uri("a.txt")][0]["newText"] == "Debian",
          "actions: case %s" % titles)
    check(all(d["source"] == "orthspell" and d["severity"] == 3 for d in diagnostics),
          "actions: source and severity")
    # The misspelling, asked with the range a client echoes wrongly (bytes, not UTF-16).
    wrold = dict(by_word["wrold"])
    wrold["range"] = {"start": {"line": 0, "character": 15}, "end": {"line": 0, "character": 20}}
    actions = ask_actions(c, "a.txt", wrold)
    titles = action_titles(actions)
    check(titles[0] == "Replace with «world»" and actions[0].get("isPreferred"),
          "actions: first suggestion preferred %s" % titles)
    check(titles[-2:] == ["Add «wrold» to the personal word list",
                          "Ignore «wrold» in this document"], "actions: add and ignore %s" % titles)
    edit = actions[0]["edit"]["changes"][uri("a.txt")][0]
    check(edit["range"] == by_word["wrold"]["range"] and edit["newText"] == "world",
          "actions: edit from data %s" % edit)
    actions = ask_actions(c, "a.txt", doubled[0])
    check(action_titles(actions) == ["Delete the repeated word"], "actions: doubled")
    edit = actions[0]["edit"]["changes"][uri("a.txt")][0]
    check(edit == {"range": {"start": {"line": 1, "character": 3},
                             "end": {"line": 1, "character": 7}}, "newText": ""},
          "actions: doubled edit %s" % edit)
    actions = ask_actions(c, "a.txt", by_word["teh"])
    check(action_titles(actions) == ["Replace with «the»"] and
          actions[0]["edit"]["changes"][uri("a.txt")][0]["newText"] == "the",
          "actions: replacement %s" % action_titles(actions))
    # Without context diagnostics, the range alone selects the findings.
    actions = c.call("textDocument/codeAction", {
        "textDocument": {"uri": uri("a.txt")},
        "range": {"start": {"line": 0, "character": 12}, "end": {"line": 0, "character": 12}},
        "context": {"diagnostics": []}})["result"]
    check(action_titles(actions)[:1] == ["Replace with «world»"], "actions: by range")
    # A diagnostic of another source is not ours: the range alone decides.
    other = dict(by_word["wrold"], source="other", range={
        "start": {"line": 2, "character": 0}, "end": {"line": 2, "character": 0}})
    check(action_titles(ask_actions(c, "a.txt", other)) == ["Replace with «the»"],
          "actions: other source")
    check(ask_actions(c, "nosuch.txt", by_word["wrold"]) == [], "actions: unknown document")
    # Ignore in this document: gone here, not in another document.
    c.open(uri("b.txt"), "wrold\n")
    c.diagnostics(uri("b.txt"))
    reply = c.call("workspace/executeCommand", {"command": "orthspell.ignoreWord",
                                                "arguments": [uri("a.txt"), "wrold"]})
    check(reply.get("result", 1) is None, "actions: ignore %s" % reply)
    left = c.diagnostics(uri("a.txt"))["diagnostics"]
    check("wrold" not in [d["data"]["word"] for d in left], "actions: ignored word gone")
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("b.txt"), "version": 2},
                                        "contentChanges": [{"text": "wrold \n"}]})
    check([d["data"]["word"] for d in c.diagnostics(uri("b.txt"), 2)["diagnostics"]] == ["wrold"],
          "actions: ignored in one document only")
    c.notify("textDocument/didClose", {"textDocument": {"uri": uri("b.txt")}})
    check(c.diagnostics(uri("b.txt"))["diagnostics"] == [], "actions: cleared on close")
    finish(c)


LANGUAGES = [  # (language id, file name, text, the words reported)
    # The technical word list knows "stderr" in Markdown and code, not in text.
    ("markdown", "a.md", "helo stderr `wrold`\n\n```\nwrold\n```\n", ["helo"]),
    # A part of an identifier the code names is not reported; the word alone is.
    ("markdown", "b.md", "`getWrold()` and wrold and getWrold\n", ["wrold"]),
    ("html", "a.html", "<a href=\"wrold\">helo</a><script>wrold()</script>\n", ["helo"]),
    ("latex", "a.tex", "helo $wrold$ \\cite{wrold}\n", ["helo"]),
    ("tex", "b.tex", "helo \\ref{wrold}\n", ["helo"]),
    ("plaintext", "a.txt", "helo wrold stderr\n", ["helo", "wrold", "stderr"]),
    ("gitcommit", "COMMIT_EDITMSG", "helo\n# wrold\n", ["helo"]),
    ("mail", "a.eml", "Subject: helo\nX-Wrold: wrold\n\nhelo\n", ["helo", "helo"]),
    ("c", "a.c", "int wrold; /* helo */\n", ["helo"]),
    ("cpp", "a.cpp", "auto wrold = 1; // helo\n", ["helo"]),
    ("python", "a.py", "wrold = 1  # helo stderr\n", ["helo"]),
    ("shellscript", "a.sh", "wrold=1  # helo\n", ["helo"]),
    ("javascript", "a.js", "let wrold = 1; // helo\n", ["helo"]),
    ("typescript", "a.ts", "let wrold: number = 1; // helo\n", ["helo"]),
    ("rust", "a.rs", "let wrold = 1; // helo\n", ["helo"]),
    ("go", "a.go", "var wrold = 1 // helo\n", ["helo"]),
]


def test_language_ids():
    """Each language id reads its document in the mode of its format, whatever
    its file name says; without a known id, the file name decides."""
    c = server()
    c.initialize()
    for language, name, text, expected in LANGUAGES:
        for given, path in ((language, "lang/%s.buffer" % language), ("unknown", "name/" + name)):
            c.open(uri(path), text, given)
            got = [d["data"]["word"] for d in c.diagnostics(uri(path))["diagnostics"]]
            check(got == expected, "language %s, %s: %s" % (given, path, got))
    finish(c)


def test_settings():
    # A dictionary the command line names must exist.
    run = subprocess.run([ORTHSPELL, "lsp", "-d", "nosuch"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True)
    check(run.returncode == 2 and "nosuch" in run.stderr, "settings: -d nosuch %s" % (run,))
    personal = os.path.join(WORK, "settings.lex")
    c = server()
    c.initialize({"workspace": {"configuration": True}},
                 {"severity": "warning", "maxSuggestions": 1, "personalList": personal,
                  "nosuch": 1, "modes": {"plaintext": "markdown"}})
    messages = c.drain(0.3)
    warnings = [m["params"]["message"] for m in messages if m.get("method") == "window/showMessage"]
    check(any("nosuch" in w for w in warnings), "settings: unknown key reported %s" % warnings)
    pull = [m for m in messages if m.get("method") == "workspace/configuration"]
    check(len(pull) == 1 and pull[0]["params"]["items"] == [{"section": "orthspell"}],
          "settings: pulled with the section %s" % pull)
    text = "the `wrold` helo\n"
    c.open(uri("s.txt"), text)
    diagnostics = c.diagnostics(uri("s.txt"))["diagnostics"]
    check([d["data"]["word"] for d in diagnostics] == ["helo"],
          "settings: mode by language id %s" % diagnostics)
    check(diagnostics[0]["severity"] == 2, "settings: severity from initializationOptions")
    actions = ask_actions(c, "s.txt", diagnostics[0])
    check(sum(1 for a in actions if a["title"].startswith("Replace")) == 1,
          "settings: maxSuggestions %s" % action_titles(actions))
    # The pulled configuration overrides.
    c.send({"jsonrpc": "2.0", "id": pull[0]["id"], "result": [{"severity": "error"}]})
    check(c.diagnostics(uri("s.txt"))["diagnostics"][0]["severity"] == 1,
          "settings: severity from workspace/configuration")
    # didChangeConfiguration with the section; then without it, which pulls again.
    c.notify("workspace/didChangeConfiguration",
             {"settings": {"orthspell": {"modes": {"plaintext": "off"}}}})
    check(c.diagnostics(uri("s.txt"))["diagnostics"] == [], "settings: mode off")
    c.notify("workspace/didChangeConfiguration", {"settings": None})
    pull = c.wait(lambda m: m.get("method") == "workspace/configuration")
    c.send({"jsonrpc": "2.0", "id": pull["id"],
            "result": [{"modes": {"plaintext": "text"}, "ignoreCaps": True,
                        "severity": "hint", "dictionaries": ["/nonexistent.olx"]}]})
    shown = c.wait(lambda m: m.get("method") == "window/showMessage")
    check(shown["params"]["type"] == 1, "settings: a bad dictionary is reported")
    diagnostics = c.diagnostics(uri("s.txt"))["diagnostics"]
    check([d["data"]["word"] for d in diagnostics] == ["wrold", "helo"] and
          diagnostics[0]["severity"] == 4, "settings: text mode, old dictionary kept %s"
          % diagnostics)
    finish(c)


def test_add_word():
    personal = os.path.join(WORK, "add", "deeper", "personal.lex")
    shutil.rmtree(os.path.join(WORK, "add"), ignore_errors=True)
    c = server("-p", personal)
    c.initialize()
    c.open(uri("one.txt"), "Zorblax is here.\n")
    c.open(uri("two.md"), "# Zorblax\n\nand Zorblax again, helo.\n", "markdown")
    c.diagnostics(uri("one.txt"))
    c.diagnostics(uri("two.md"))
    # Words that the list cannot hold are refused, and nothing is written.
    for bad in ["", "two words", "line\nbreak", "../../etc/passwd\n", "中文", "x" * 200]:
        reply = c.call("workspace/executeCommand", {"command": "orthspell.addWord",
                                                    "arguments": [bad]})
        check("error" in reply, "add: refused %r" % bad)
    check(not os.path.exists(os.path.dirname(personal)), "add: nothing written for bad words")
    reply = c.call("workspace/executeCommand", {"command": "orthspell.addWord",
                                                "arguments": ["Zorblax"]})
    check(reply.get("result", 1) is None, "add: %s" % reply)
    one = c.diagnostics(uri("one.txt"))["diagnostics"]
    two = c.diagnostics(uri("two.md"))["diagnostics"]
    check(one == [] and [d["data"]["word"] for d in two] == ["helo"],
          "add: both documents re-published %s %s" % (one, two))
    with open(personal, encoding="latin-1") as f:
        check("zorblax" in f.read().lower(), "add: the personal list holds the word")
    check(sorted(os.listdir(os.path.dirname(personal))) == ["personal.lex"],
          "add: only the personal list is written %s" % os.listdir(os.path.dirname(personal)))
    # Another process adds a word: the server reads the list again (here on didSave).
    subprocess.run([ORTHSPELL, "add", "-p", personal, "helo"], check=True)
    c.notify("textDocument/didSave", {"textDocument": {"uri": uri("two.md")}})
    check(c.diagnostics(uri("two.md"))["diagnostics"] == [], "add: list read again")
    # Without a save, the server notices the change within a few seconds.
    c.notify("textDocument/didChange", {"textDocument": {"uri": uri("one.txt"), "version": 2},
                                        "contentChanges": [{"text": "Zorblax and Quuxly.\n"}]})
    check([d["data"]["word"] for d in c.diagnostics(uri("one.txt"), 2)["diagnostics"]] ==
          ["Quuxly"], "add: before another process adds a word")
    subprocess.run([ORTHSPELL, "add", "-p", personal, "Quuxly"], check=True)
    check(c.diagnostics(uri("one.txt"), 2, timeout=30)["diagnostics"] == [],
          "add: list read again without a save")
    # A second server with the same list knows both words.
    d = server("-p", personal)
    d.initialize()
    d.open(uri("three.txt"), "Zorblax helo wrold\n")
    got = [x["data"]["word"] for x in d.diagnostics(uri("three.txt"))["diagnostics"]]
    check(got == ["wrold"], "add: a second server %s" % got)
    finish(d)
    finish(c)
    # Without a personal list, adding fails with a message and no file.
    c = server(env={"XDG_DATA_HOME": "", "HOME": ""})
    c.initialize()
    c.open(uri("x.txt"), "Zorblax\n")
    diagnostics = c.diagnostics(uri("x.txt"))["diagnostics"]
    titles = action_titles(ask_actions(c, "x.txt", diagnostics[0]))
    check(not any(t.startswith("Add") for t in titles), "add: not offered without a list")
    reply = c.call("workspace/executeCommand", {"command": "orthspell.addWord",
                                                "arguments": ["Zorblax"]})
    check(reply.get("error", {}).get("code") == -32803, "add: fails without a list %s" % reply)
    finish(c)


TESTS = {name[5:]: f for name, f in dict(globals()).items() if name.startswith("test_")}


def main():
    os.makedirs(WORK, exist_ok=True)
    chosen = sys.argv[4:] or list(TESTS)
    for name in chosen:
        start = time.monotonic()
        before = len(failures)
        try:
            TESTS[name]()
        except Exception as error:  # a hang or a crash of the server fails the test
            failures.append("%s: %r" % (name, error))
            print("FAIL %s: %r" % (name, error))
        print("%s %s (%.2f s)" % ("ok  " if len(failures) == before else "FAIL", name,
                                  time.monotonic() - start))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
