"""python3-enchant through the provider: check, suggest, add, and the tags.

  enchant_python_test.py ORTHSPELL CONFIG_DIR

Run by enchant_host_test.sh inside its mount namespace, with
ENCHANT_CONFIG_DIR=CONFIG_DIR and an ordering that puts orth first.
"""
import os
import subprocess
import sys

import enchant

ORTHSPELL, CONFIG = sys.argv[1], sys.argv[2]


def orth_suggestions(word):
    out = subprocess.run([ORTHSPELL, "suggest", "-d", "en_US", word], check=True,
                         capture_output=True, text=True).stdout
    listed = out.split(": ", 1)[1].strip()
    if listed == "(no suggestions)":
        return []
    return [entry.rsplit(" (", 1)[0] for entry in listed.split(", ")]


def check_in_new_process(tag, word):
    code = f"import enchant; print(enchant.Dict({tag!r}).check({word!r}))"
    return subprocess.run([sys.executable, "-c", code], check=True, capture_output=True,
                          text=True).stdout.strip() == "True"


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


us = enchant.Dict("en_US")
expect(us.provider.name == "orth", f"en_US comes from {us.provider.name}")
for word, right in (("receive", True), ("recieve", False), ("don\u2019t", True),
                    ("colour", False), ("na\u00efve", False), ("\u043f\u0440\u0438", True)):
    expect(us.check(word) == right, f"check({word!r}) is not {right}")
for word in ("recieve", "langauge", "na\u00efve"):
    expect(us.suggest(word) == orth_suggestions(word),
           f"suggest({word!r}) = {us.suggest(word)}, orthspell: {orth_suggestions(word)}")

# Enchant keeps the personal list: the word is known at once, in the file,
# and in a new process.
expect(not us.check("Zorblax"), "Zorblax is known before it is added")
us.add("Zorblax")
expect(us.check("Zorblax") and us.is_added("Zorblax"), "Zorblax is not known once added")
with open(os.path.join(CONFIG, "en_US.dic"), encoding="utf-8") as personal:
    expect("Zorblax" in personal.read().split(), "Zorblax is not in en_US.dic")
expect(check_in_new_process("en_US", "Zorblax"), "a new process does not know Zorblax")
expect("Zorblax" in us.suggest("Zorblaxx"), "the personal word is not suggested")

# Tags: en-US is en_US; en alone is the American dictionary; en_GB is British.
for tag, provider in (("en-US", "orth"), ("en", "orth"), ("en_GB", "orth"), ("es", "orth")):
    d = enchant.Dict(tag)
    expect(d.provider.name == provider, f"{tag} comes from {d.provider.name}")
expect(enchant.Dict("en").check("color") and not enchant.Dict("en").check("colour"),
       "en is not en_US")
expect(enchant.Dict("en_GB").check("colour"), "en_GB does not know colour")
expect(enchant.Dict("es").check("ma\u00f1ana"), "es does not know ma\u00f1ana")
listed = {tag for tag, provider in enchant.list_dicts() if provider.name == "orth"}
expect({"en_US", "en_GB", "es"} <= listed, f"orth lists {sorted(listed)}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
