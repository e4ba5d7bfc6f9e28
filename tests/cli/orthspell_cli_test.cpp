// The built orthspell run on small inputs: what it prints on stdout and
// stderr, and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class Orthspell : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           (std::string("orthspell_cli_") + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  fs::path File(const std::string& name, const std::string& bytes) const {
    WriteFile(Path(name), bytes);
    return Path(name);
  }

  // Runs orthspell with `args` (already quoted where needed) in the test's
  // folder, with `input` on stdin.
  Result Run(const std::string& args, const std::string& input = "") const {
    const fs::path in = File("stdin.txt", input);
    return Shell(Quote(ORTHSPELL) + " " + args + " <" + Quote(in.string()));
  }

  // Runs a shell command in the test's folder; "$O" names orthspell.
  Result Shell(const std::string& command) const {
    const std::string line = "cd " + Quote(dir_.string()) + " && O=" + Quote(ORTHSPELL) + " && " +
                             command + " >" + Quote(Path("stdout.txt").string()) + " 2>" +
                             Quote(Path("stderr.txt").string());
    const int raw = std::system(line.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(Path("stdout.txt"));
    result.err = ReadFile(Path("stderr.txt"));
    return result;
  }

  // The files orthspell fix left next to the ones it worked on.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".orthspell-") != std::string::npos) found.push_back(name);
    }
    return found;
  }

  fs::path dir_;
};

// One finding line with no suggestions: --max 0 keeps the expected output
// independent of the ranking.
TEST_F(Orthspell, ColumnsCountCharactersOfTheUtf8Input) {
  struct Row {
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"hello wrold\n", "<stdin>:1:7: wrold\n"},
      // é and ü take two bytes, € three, 😀 four: each is one column.
      {"caf\xc3\xa9 wrold\n", "<stdin>:1:6: wrold\n"},
      {"a\xe2\x82\xac\xf0\x9f\x98\x80 wrold\n", "<stdin>:1:5: wrold\n"},
      {"fine\n  tab\tthen wrold\n", "<stdin>:2:12: wrold\n"},
      // A misspelled word with a non-ASCII letter is printed as written.
      {"the caf\xc3\xa9 d\xc3\xa9j\xc3\xa0vu\n", "<stdin>:1:10: d\xc3\xa9j\xc3\xa0vu\n"},
      // Łódź: the characters outside Latin-1 end words.
      {"\xc5\x81\xc3\xb3"
       "dz wrold\n",
       "<stdin>:1:2: \xc3\xb3"
       "dz\n<stdin>:1:6: wrold\n"},
      {"windows line\r\nends wrold\r\n", "<stdin>:2:6: wrold\n"},
      // A word longer than the engine's buffers is printed whole.
      {"ok " + std::string(300, 'x') + " wrold\n",
       "<stdin>:1:4: " + std::string(300, 'x') + "\n<stdin>:1:305: wrold\n"},
  };
  for (const Row& row : rows) {
    const Result result = Run("check --max 0", row.text);
    EXPECT_EQ(result.out, row.expected) << row.text;
    EXPECT_EQ(result.status, 1) << row.text;
  }
}

TEST_F(Orthspell, TypographicApostrophesAreApostrophes) {
  // U+2019, U+2018 and U+02BC inside words: the words are known.
  const Result clean = Run("check",
                           "I don\xe2\x80\x99t know why it isn\xca\xbct, "
                           "said the \xe2\x80\x98"
                           "boss\xe2\x80\x99 o\xe2\x80\x99"
                           "clock.\n");
  EXPECT_EQ(clean.status, 0) << clean.out;
  EXPECT_EQ(clean.out, "");
  // A misspelled one is printed with the apostrophe as written.
  const Result found = Run("check --max 0", "they\xe2\x80\x99ve dont\xe2\x80\x99ll wrold\n");
  EXPECT_EQ(found.out, "<stdin>:1:9: dont\xe2\x80\x99ll\n<stdin>:1:17: wrold\n");
  EXPECT_EQ(found.status, 1);
}

TEST_F(Orthspell, DoubledWordsAndExitStatus) {
  struct Row {
    std::string args;
    std::string text;
    std::string expected;
    int status;
  };
  const std::vector<Row> rows = {
      {"check", "All is well.\n", "", 0},
      {"check", "", "", 0},
      {"check", "it is is fine\n", "<stdin>:1:7: doubled word 'is'\n", 1},
      {"check", "The the cat\n", "<stdin>:1:5: doubled word 'the'\n", 1},
      {"check", "it is, is fine\n", "", 0},
      {"check", "at the end of the\nthe line\n", "<stdin>:2:1: doubled word 'the'\n", 1},
      {"check", "a paragraph ends with the\n\nthe next starts\n", "", 0},
      {"check --no-doubled", "it is is fine\n", "", 0},
      {"check --no-exit-code", "it is is fine\n", "<stdin>:1:7: doubled word 'is'\n", 0},
      {"check --max 0", "teh teh\n",
       "<stdin>:1:1: teh\n<stdin>:1:5: teh\n<stdin>:1:5: doubled word 'teh'\n", 1},
      {"check --ignore-caps --max 0", "Zorblat and zorblat\n", "<stdin>:1:13: zorblat\n", 1},
      {"check --ignore-non-alpha --max 0", "abc1x and wrold\n", "<stdin>:1:11: wrold\n", 1},
      {"list", "teh cat is is wrold\n", "teh\nwrold\n", 0},
      {"-l", "Wrold\n", "Wrold\n", 0},
  };
  for (const Row& row : rows) {
    const Result result = Run(row.args, row.text);
    EXPECT_EQ(result.out, row.expected) << row.args << ": " << row.text;
    EXPECT_EQ(result.status, row.status) << row.args << ": " << row.text;
    EXPECT_EQ(result.err, "") << row.args;  // no progress line when stderr is not a terminal
  }
}

TEST_F(Orthspell, FilesAreNamedInFindings) {
  const fs::path a = File("a.txt", "good text\n");
  const fs::path b = File("b.txt", "first line\nsecond wrold\n");
  const Result result = Run("check --max 0 a.txt b.txt - ", "wrold\n");
  EXPECT_EQ(result.out, "b.txt:2:8: wrold\n<stdin>:1:1: wrold\n");
  EXPECT_EQ(result.status, 1);
  // A missing file is reported and the others are still checked.
  const Result missing = Run("check --max 0 nosuch.txt b.txt");
  EXPECT_EQ(missing.out, "b.txt:2:8: wrold\n");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("orthspell check: nosuch.txt: No such file"), std::string::npos);
}

TEST_F(Orthspell, SuggestionsFollowTheWord) {
  const Result result = Run("check --max 3", "wrold\n");
  EXPECT_TRUE(
      std::regex_match(result.out, std::regex("<stdin>:1:1: wrold -> world, [^,]+, [^,]+\n")))
      << result.out;
  const Result one = Run("check --max 1 --level 3", "Wrold\n");
  EXPECT_EQ(one.out, "<stdin>:1:1: Wrold -> World\n");  // in the case of the word as written
  const Result suggest = Run("suggest --max 2 wrold hello");
  EXPECT_TRUE(std::regex_match(
      suggest.out, std::regex("wrold: world \\([0-9]+\\), [a-z ]+ \\([0-9]+\\)\n"
                              "hello: \\(correct\\) hello \\(100\\), [a-z ]+ \\([0-9]+\\)\n")))
      << suggest.out;
  EXPECT_EQ(suggest.status, 0);
  const Result sounds = Run("sounds-like nite");
  EXPECT_EQ(sounds.out.rfind("nite: ", 0), 0u) << sounds.out;
  for (const char* word : {" knit,", " net,", " note,"}) {
    EXPECT_NE(sounds.out.find(word), std::string::npos) << word;
  }
  const Result spanish =
      Run("suggest -d es --max 1 ma\xc3\xb1"
          "ana manana");
  EXPECT_TRUE(std::regex_match(spanish.out, std::regex("ma\xc3\xb1"
                                                       "ana: \\(correct\\) ma\xc3\xb1"
                                                       "ana \\(100\\)\n"
                                                       "manana: ma\xc3\xb1"
                                                       "ana \\([0-9]+\\)\n")))
      << spanish.out;
}

TEST_F(Orthspell, JsonOutput) {
  const Result result = Run("check --format json --max 1", "caf\xc3\xa9 wrold is is\n");
  const std::regex expected(
      "\\{\"file\":\"<stdin>\",\"line\":1,\"column\":6,\"word\":\"wrold\","
      "\"kind\":\"misspelled\",\"suggestions\":\\[\\{\"word\":\"world\",\"score\":[0-9]+\\}\\]\\}\n"
      "\\{\"file\":\"<stdin>\",\"line\":1,\"column\":15,\"word\":\"is\",\"kind\":\"doubled\","
      "\"suggestions\":\\[\\]\\}\n");
  EXPECT_TRUE(std::regex_match(result.out, expected)) << result.out;
  EXPECT_EQ(result.status, 1);
  // A file name that needs escaping, and a replacement.
  File("r.lex", "#LID 0000 0 1\nteh:the\n");
  File("quote\"d.txt", "teh\n");
  const Result named = Run("check --format json --replacements r.lex 'quote\"d.txt'");
  EXPECT_EQ(named.out,
            "{\"file\":\"quote\\\"d.txt\",\"line\":1,\"column\":1,\"word\":\"teh\","
            "\"kind\":\"replacement\",\"replacement\":\"the\",\"suggestions\":[]}\n");
}

TEST_F(Orthspell, ReplacementList) {
  File("fixes.lex", "#LID 0000 0 2\nalot:a lot\nteh:the\n");
  const Result result =
      Run("check --max 0 --replacements fixes.lex", "Teh cat ate alot of wrold food.\n");
  EXPECT_EQ(result.out,
            "<stdin>:1:1: Teh ==> the\n<stdin>:1:13: alot ==> a lot\n<stdin>:1:21: wrold\n");
  EXPECT_EQ(result.status, 1);
  // The list must be a change lexicon.
  File("accept.lex", "#LID 0000 1 1\nteh\n");
  const Result wrongType = Run("check --replacements accept.lex", "x\n");
  EXPECT_EQ(wrongType.status, 2);
  EXPECT_NE(wrongType.err.find("not a replacement list"), std::string::npos) << wrongType.err;
}

TEST_F(Orthspell, PersonalListGrowsAcrossRuns) {
  const std::string text = "Zorblat met flimwick at the Zorblat bar.\n";
  // First use: the list is created, empty, and both words are reported.
  Result run = Run("check --max 0 -p words.lex", text);
  EXPECT_EQ(run.out, "<stdin>:1:1: Zorblat\n<stdin>:1:13: flimwick\n<stdin>:1:29: Zorblat\n");
  EXPECT_EQ(run.status, 1);
  ASSERT_TRUE(fs::exists(Path("words.lex")));
  EXPECT_EQ(ReadFile(Path("words.lex")).rfind("#LID 0000 1 0", 0), 0u);

  EXPECT_EQ(Run("add -p words.lex zorblat").status, 0);
  run = Run("check --max 0 -p words.lex", text);
  EXPECT_EQ(run.out, "<stdin>:1:13: flimwick\n");

  EXPECT_EQ(Run("add -p words.lex flimwick zorblat").status, 0);  // zorblat once only
  run = Run("check -p words.lex", text);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.status, 0);
  const std::string saved = ReadFile(Path("words.lex"));
  EXPECT_NE(saved.find("\nflimwick\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("zorblat"), saved.rfind("zorblat")) << saved;
  // Without -p the words are unknown again.
  EXPECT_EQ(Run("check", text).status, 1);
  // The personal words are suggested too.
  EXPECT_TRUE(std::regex_match(Run("suggest -p words.lex --max 1 flimwik").out,
                               std::regex("flimwik: flimwick \\([0-9]+\\)\n")));
}

TEST_F(Orthspell, DictionaryErrorsExitTwoWithOneLine) {
  File("notalex.txt", "just some text\n");
  File("compressed.olx", "not a compressed lexicon at all\n");
  struct Row {
    std::string args;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"check -d nosuchname", "orthspell check: nosuchname: no such dictionary (bundled: "},
      {"check -d missing/dir/x.olx", "orthspell check: missing/dir/x.olx: no such dictionary file"},
      {"check -d notalex.txt", "orthspell check: notalex.txt: not a lexicon, or damaged"},
      {"check -d en_US -d compressed.olx", "orthspell check: compressed.olx: not a lexicon"},
      {"list -d nosuchname", "orthspell list: nosuchname: no such dictionary"},
      {"suggest -d nosuchname x", "orthspell suggest: nosuchname: no such dictionary"},
      {"check --replacements nosuch.lex", "orthspell check: nosuch.lex: no such replacement list"},
      {"check -p no/such/dir/words.lex", "orthspell check: no/such/dir/words.lex: cannot create"},
      {"check -p notalex.txt", "orthspell check: notalex.txt: not a lexicon"},
      {"check --max", "orthspell check: option --max needs a value"},
      {"check --max 101", "orthspell check: --max needs a number 0..100"},
      {"check --format xml", "orthspell check: --format is text or json"},
      {"check --bogus", "orthspell check: unknown option '--bogus'"},
      {"suggest", "orthspell suggest: no word given"},
      {"suggest --level 4 x", "orthspell suggest: --level is auto, 0, 1, 2 or 3"},
      {"suggest \xc5\x81\xc3\xb3"
       "d\xc5\xba",
       "orthspell suggest: '\xc5\x81\xc3\xb3"},
      {"add zorblat", "orthspell add: no personal word list given"},
      {"fix --mode nosuch notalex.txt", "orthspell fix: unknown mode 'nosuch'"},
      {"fix --part-size 63 notalex.txt", "orthspell fix: --part-size needs a number of bytes"},
      {"nosuchcommand", "orthspell: unknown command 'nosuchcommand'"},
  };
  for (const Row& row : rows) {
    const Result result = Run(row.args, "text\n");
    EXPECT_EQ(result.status, 2) << row.args;
    EXPECT_EQ(result.err.rfind(row.message, 0), 0u) << row.args << ": " << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "") << row.args;
  }
  // The bundled names are listed in the message.
  EXPECT_NE(Run("check -d nosuchname").err.find("en_GB, en_US, en_tech, es"), std::string::npos);
}

TEST_F(Orthspell, InvalidUtf8IsReadAsLatin1) {
  const fs::path a = File("a.txt", "caf\xe9 wrold\n");  // Latin-1 bytes
  const fs::path b = File("b.txt", "\xfe\x80 broken \xc3 wrold\n");
  const Result result = Run("check --max 0 a.txt b.txt");
  // Columns count each invalid byte as one character; words print as UTF-8.
  EXPECT_EQ(result.out, "a.txt:1:6: wrold\nb.txt:1:11: \xc3\x83\nb.txt:1:13: wrold\n");
  EXPECT_EQ(result.status, 1);
  // Said once, for the first file only.
  EXPECT_EQ(result.err,
            "orthspell check: a.txt: not valid UTF-8; the invalid bytes are read as Latin-1\n");
  const Result binary = Run("check --max 0", std::string("\0\0\x01zz\0\xff\n", 8));
  EXPECT_EQ(binary.status, 1);
  EXPECT_EQ(binary.out, "<stdin>:1:4: zz\n<stdin>:1:7: \xc3\xbf\n");
}

TEST_F(Orthspell, HelpForEverySubcommand) {
  for (const char* command : {"check", "list", "suggest", "sounds-like", "add", "fix"}) {
    const Result result = Run(std::string(command) + " --help");
    EXPECT_EQ(result.status, 0) << command;
    for (const char* section : {"NAME\n", "SYNOPSIS\n", "OPTIONS\n", "EXIT STATUS\n", "-d DICT"}) {
      EXPECT_NE(result.out.find(section), std::string::npos) << command << " " << section;
    }
  }
  const Result top = Run("--help");
  EXPECT_EQ(top.status, 0);
  EXPECT_NE(top.out.find("sounds-like WORD"), std::string::npos);
}

// orthspell fix with its keys on stdin: what is saved where, and what stays.
TEST_F(Orthspell, FixSavesTheFileWhereItLives) {
  const std::string markdown = "Use `recieve` here.\n\n    recieve\n\nWe recieve it.\n";
  const std::string markdownFixed = "Use `recieve` here.\n\n    recieve\n\nWe receive it.\n";
  struct Row {
    std::string name;
    std::string bytes;
    std::string args;
    std::string keys;
    std::string expected;
    bool backup;
  };
  const std::vector<Row> rows = {
      // Code spans and blocks are never stopped on: one key, one change.
      {"notes.md", markdown, "", "1\n", markdownFixed, true},
      {"notes.txt", markdown, "--mode markdown", "1\n", markdownFixed, true},
      {"plain.txt", "We recieve it.\n", "--no-backup", "1\n", "We receive it.\n", false},
      {"quit.txt", "We recieve it, teh end.\n", "", "1\nx\n", "We recieve it, teh end.\n", false},
      {"fine.txt", "We receive it.\n", "", "", "We receive it.\n", false},
  };
  for (const Row& row : rows) {
    File(row.name, row.bytes);
    const Result result = Run("fix " + row.args + " " + row.name, row.keys);
    EXPECT_EQ(result.status, 0) << row.name << ": " << result.err;
    EXPECT_EQ(ReadFile(Path(row.name)), row.expected) << row.name;
    EXPECT_EQ(fs::exists(Path(row.name + ".bak")), row.backup) << row.name;
    if (row.backup) {
      EXPECT_EQ(ReadFile(Path(row.name + ".bak")), row.bytes) << row.name;
    }
  }
  // A link is followed: the file it points to is replaced and keeps its
  // mode, its .bak lies beside it, and the link stays a link.
  fs::create_directories(Path("real"));
  File("real/target.txt", "We recieve it.\n");
  fs::permissions(Path("real/target.txt"), fs::perms(0640));
  fs::create_symlink("real/target.txt", Path("link.txt"));
  EXPECT_EQ(Run("fix link.txt", "1\n").status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(ReadFile(Path("real/target.txt")), "We receive it.\n");
  EXPECT_EQ(fs::status(Path("real/target.txt")).permissions(), fs::perms(0640));
  EXPECT_EQ(ReadFile(Path("real/target.txt.bak")), "We recieve it.\n");
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Orthspell, FixLeavesTheFileWholeWhenItCannotFinish) {
  std::string big = "We recieve it.\n";
  while (big.size() < 40000) big += "Nothing wrong here at all.\n";
  File("big.txt", big);
  File("keys.txt", "1\n");
  // The copy cannot grow past 4 KiB, as on a full disk.
  const Result full = Shell("trap '' XFSZ; ulimit -f 8; \"$O\" fix big.txt <keys.txt");
  EXPECT_EQ(full.status, 1) << full.err;
  EXPECT_NE(full.err.find("; 'big.txt' left unchanged"), std::string::npos) << full.err;
  EXPECT_EQ(ReadFile(Path("big.txt")), big);
  // Interrupted while waiting for a key.
  const Result interrupted = Shell("sleep 2 | timeout -s INT 1 \"$O\" fix big.txt");
  EXPECT_NE(interrupted.status, 0);
  EXPECT_EQ(ReadFile(Path("big.txt")), big);
  EXPECT_FALSE(fs::exists(Path("big.txt.bak")));
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Orthspell, BundledSample) {
  const Result result = Run(std::string("check --max 0 ") + Quote(ORTH_SAMPLE));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("sample.txt:4:23: doubled word 'the'\n"), std::string::npos);
  EXPECT_NE(result.out.find("sample.txt:2:41: recieve\n"), std::string::npos) << result.out;
  for (const char* name : {"en_GB", "es"}) {
    EXPECT_EQ(Run(std::string("check -d ") + name + " --no-exit-code " + Quote(ORTH_SAMPLE)).status,
              0);
  }
}

// The format comes from --mode, the file name, the "#!" line or the first
// bytes; standard input is text.
TEST_F(Orthspell, DocumentsAreReadInTheirFormat) {
  struct Row {
    std::string args;
    std::string name;  // empty: the text goes to stdin
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"check --max 0", "a.md", "A wrold with `qqcode` and [link](http://x.org/qqurl).\n",
       "a.md:1:3: wrold\n"},
      // A word the document writes as code is a name, also in its prose.
      {"check --max 0", "c.md", "Run `qqtool --x` and qqtool works; qqother fails.\n",
       "c.md:1:36: qqother\n"},
      {"check --max 0", "d.c", "/* qqbuf holds the qqbuff */\nchar qqbuf[8];\n",
       "d.c:1:20: qqbuff\n"},
      {"check --max 0", "", "A wrold with `qqcode`.\n",
       "<stdin>:1:3: wrold\n<stdin>:1:15: qqcode\n"},
      {"check --max 0 --mode markdown", "", "A wrold with `qqcode`.\n", "<stdin>:1:3: wrold\n"},
      {"check --max 0", "b.tex", "\\section{Intro} wrold $qqmath$ \\cite{qqkey}\n",
       "b.tex:1:17: wrold\n"},
      {"check --max 0", "run", "#!/bin/sh\n# a wrold\nqqcommand --qqflag\n", "run:2:5: wrold\n"},
      {"check --max 0 --mode ccpp", "", "int qqx; // a wrold\n", "<stdin>:1:15: wrold\n"},
      {"check --max 0 --mode html", "", "<p title=\"wrold\">t<b>ex</b>t <code>qqx</code></p>\n",
       "<stdin>:1:11: wrold\n"},
      {"list -t", "", "A wrold $qqmath$\n", "wrold\n"},
      {"list --no-skip urls,files,paths --ignore-case-rules", "", "see http://example.org/qqurl\n",
       "qqurl\n"},
  };
  for (const Row& row : rows) {
    std::string args = row.args;
    if (!row.name.empty()) {
      File(row.name, row.text);
      args += " " + row.name;
    }
    const Result result = Run(args, row.name.empty() ? row.text : "");
    EXPECT_EQ(result.out, row.expected) << row.args << " " << row.name;
    EXPECT_EQ(result.err, "") << row.args;
  }
  const Result unknown = Run("check --mode klingon", "x\n");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("orthspell check: unknown mode 'klingon' (text, markdown", 0), 0u)
      << unknown.err;
}

}  // namespace

// Editors call `orthspell -l` with ispell's options on large regions and
// look each printed word up in their own buffer, so the words come back in
// the input's own bytes and nothing else shares the output.
TEST_F(Orthspell, ListSpeaksToEditors) {
  struct Row {
    std::string args;
    std::string input;
    std::string out;
  };
  const std::vector<Row> rows = {
      {"-l -m -B -C -T tex -d en_US -i iso-8859-1", "na\xefve wrold caf\xe9 speling\n",
       "na\xefve\nwrold\nspeling\n"},
      {"-l --encoding=latin-1", "caf\xe9s wr\xf6ld\n", "wr\xf6ld\n"},
      {"-l --encoding=utf-8", "caf\xc3\xa9 wr\xc3\xb6ld\n", "wr\xc3\xb6ld\n"},
      {"-l", "wr\xf6ld ok\n", "wr\xf6ld\n"},  // invalid UTF-8: the bytes as sent
  };
  for (const Row& row : rows) {
    const Result result = Run(row.args, row.input);
    EXPECT_EQ(result.status, 0) << row.args << ": " << result.err;
    EXPECT_EQ(result.out, row.out) << row.args;
  }
  EXPECT_EQ(Run("-l -i koi8-r", "x\n").status, 2);
  // When stderr is the output, the invalid UTF-8 notice stays away from it.
  const fs::path in = File("latin1.txt", "wr\xf6ld\n");
  const std::string command = "cd " + Quote(dir_.string()) + " && " + Quote(ORTHSPELL) +
                              " -l latin1.txt >" + Quote(Path("both.txt").string()) + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(Path("both.txt")), "wr\xf6ld\n");
}

TEST_F(Orthspell, TechnicalWordsOpenForCodeAndMarkdown) {
  // The same sentence as a comment, in Markdown and as text: en_tech knows
  // every word that en_US lacks (gzip, stderr; tuple and timeout are rare
  // words of en_US too); "wrold" is wrong everywhere.
  const std::string words = "gzip the stderr tuple after a timeout wrold";
  File("a.py", "# " + words + "\n");
  File("a.md", words + "\n");
  File("a.txt", words + "\n");
  const std::string all = "gzip\nstderr\nwrold\n";
  struct Row {
    std::string args;
    std::string out;
    int status;
  };
  const std::vector<Row> rows = {
      {"list a.py", "wrold\n", 0},
      {"list a.md", "wrold\n", 0},
      {"list a.txt", all, 0},
      {"list --tech-words a.txt", "wrold\n", 0},
      {"list --no-tech-words a.py a.md", all + all, 0},
      {"list --mode text a.md", all, 0},
      {"list --mode markdown a.txt", "wrold\n", 0},
      // From one file to the next the list opens and closes, and answers
      // remembered under the other lexicons are not reused.
      {"list a.txt a.py a.txt a.md", all + "wrold\n" + all + "wrold\n", 0},
      // Only beside an English first dictionary.
      {"list --tech-words -d es -d en_US a.txt", all, 0},
      {"list -d en_GB a.py", "wrold\n", 0},
      {"list --tech-words --no-tech-words a.txt", "", 2},
      // Without en_US's rare-word list.
      {"list --no-rare-words a.txt", "gzip\nstderr\ntuple\ntimeout\nwrold\n", 0},
      {"list --no-rare-words a.py", "wrold\n", 0},
  };
  for (const Row& row : rows) {
    const Result result = Run(row.args);
    EXPECT_EQ(result.status, row.status) << row.args << ": " << result.err;
    EXPECT_EQ(result.out, row.out) << row.args;
  }
  // The pipe in a technical mode: a banner, seven known words, one unknown.
  const Result pipe = Run("-a --mode markdown", words + "\n");
  EXPECT_EQ(pipe.out.substr(pipe.out.find('\n') + 1, 22), "*\n*\n*\n*\n*\n*\n*\n& wrold ");
}

TEST_F(Orthspell, RareWordsAreAcceptedButNeverSuggested) {
  // A dictionary named by its path brings the rare-word list beside it.
  File("mine.words", "toll\nway\ntally\n");
  File("mine.rare.words", "tollway\n");
  ASSERT_EQ(Run("compile mine.words -o mine.olx").status, 0);
  ASSERT_EQ(Run("compile mine.rare.words -o mine.rare.olx").status, 0);
  File("t.txt", "tollway tollwy\n");
  struct Row {
    std::string args;
    std::string out;
  };
  for (const Row& row : std::vector<Row>{
           {"list -d mine.olx t.txt", "tollwy\n"},
           {"list -d mine.olx --no-rare-words t.txt", "tollway\ntollwy\n"},
           {"check -d mine.olx --no-exit-code t.txt", "t.txt:1:9: tollwy -> tally, toll\n"},
           // en_US's own rare-word list holds «tollway».
           {"list t.txt", "tollwy\n"},
       }) {
    const Result result = Run(row.args);
    EXPECT_EQ(result.out, row.out) << row.args << ": " << result.err;
  }
  const Result suggested = Run("check --no-exit-code t.txt");
  EXPECT_NE(suggested.out.find("tollwy -> "), std::string::npos) << suggested.out;
  EXPECT_EQ(suggested.out.find("tollway"), std::string::npos) << suggested.out;
  const Result pipe = Run("-a", "tollway tollwy\n");
  const std::string answers = pipe.out.substr(pipe.out.find('\n') + 1);
  EXPECT_EQ(answers.substr(0, 11), "*\n& tollwy ") << pipe.out;
  EXPECT_EQ(answers.find("tollway"), std::string::npos) << pipe.out;
  // The list is part of its dictionary, not a dictionary of its own.
  const Result dicts = Run("dicts");
  EXPECT_EQ(dicts.out.find("en_US.rare"), std::string::npos) << dicts.out;
  EXPECT_NE(Run("check -d en_US.rare t.txt").status, 0);
}
