// Saving a user list when a file step fails or the process dies mid-save: the
// old file survives whole, the lexicon stays open with every word, and a
// later save succeeds.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "lex/save_file_ops.h"
#include "lex_file_builder.h"
#include "orth.h"

namespace orth {
namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Listing(int32_t session, int32_t lex) {
  std::vector<char> buffer(64 * 1024);
  EXPECT_GE(ORTH_GetLex(session, lex, buffer.data(), static_cast<uint32_t>(buffer.size())), 0);
  std::vector<std::string> words;
  for (const char* p = buffer.data(); *p != '\0'; p += words.back().size() + 1) {
    words.emplace_back(p);
  }
  return words;
}

size_t FilesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

// Which step fails, and at which of its calls (1 = the first).
enum class Step { kCreate, kWrite, kFlush, kClose, kRename };
Step g_failing = Step::kCreate;
int g_failAtCall = 1;
int g_calls = 0;

bool FailsNow(Step step) {
  return step == g_failing && ++g_calls == g_failAtCall;
}

// Installs save operations of which one step fails; puts the real ones back
// when it goes.
struct FaultySave {
  FaultySave(Step step, int atCall) {
    g_failing = step;
    g_failAtCall = atCall;
    g_calls = 0;
    SaveFileOps& ops = TextLexSaveOps();
    ops.createExclusive = [](const char* name) -> std::FILE* {
      if (FailsNow(Step::kCreate)) {
        errno = EACCES;
        return nullptr;
      }
      return std::fopen(name, "wx");
    };
    ops.writeText = [](std::FILE* file, const char* text) {
      return FailsNow(Step::kWrite) ? EOF : std::fputs(text, file);
    };
    ops.flush = [](std::FILE* file) { return FailsNow(Step::kFlush) ? EOF : std::fflush(file); };
    // A failed close still releases the stream, as fclose does.
    ops.close = [](std::FILE* file) {
      const int closed = std::fclose(file);
      return FailsNow(Step::kClose) ? EOF : closed;
    };
    ops.rename = [](const char* from, const char* to) {
      return FailsNow(Step::kRename) ? -1 : DefaultSaveFileOps().rename(from, to);
    };
  }
  ~FaultySave() { TextLexSaveOps() = DefaultSaveFileOps(); }
};

TEST(SaveFault, EveryFailingStepKeepsTheOldFileAndTheOpenLexicon) {
  struct Row {
    const char* name;
    Step step;
    int atCall;
  };
  const Row rows[] = {
      {"temporary file cannot be created", Step::kCreate, 1},
      {"header write fails", Step::kWrite, 1},
      {"a later entry's write fails", Step::kWrite, 3},
      {"flush fails", Step::kFlush, 1},
      {"close fails", Step::kClose, 1},
      {"rename fails", Step::kRename, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::TempDir dir;
    const std::string path = dir.PathOf("user.lex");
    const int32_t s = ORTH_OpenSession();
    ASSERT_GE(s, 0);
    ASSERT_EQ(ORTH_CreateLex(s, path.c_str(), LEX_TYPE_CHANGE, 1033), 0);
    ASSERT_EQ(ORTH_AddToLex(s, 0, "teh", "the"), 0);
    ASSERT_EQ(ORTH_AddToLex(s, 0, "recieve", "receive"), 0);
    ASSERT_EQ(ORTH_CloseLex(s, 0), 0);
    const std::string old = ReadWhole(path);

    ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0);
    ASSERT_EQ(ORTH_AddToLex(s, 0, "alot", "a lot"), 0);
    ASSERT_EQ(ORTH_DelFromLex(s, 0, "teh"), 0);
    const std::vector<std::string> edited = Listing(s, 0);
    {
      FaultySave faulty(row.step, row.atCall);
      EXPECT_EQ(ORTH_CloseLex(s, 0), ERR_FILE_OPEN);
      EXPECT_EQ(g_calls, row.atCall);  // the fault was really reached
    }
    EXPECT_EQ(ReadWhole(path), old);
    EXPECT_EQ(FilesIn(dir.PathOf("")), 1u);  // no temporary file is left behind
    EXPECT_EQ(Listing(s, 0), edited);        // still open, with every word
    char other[WORD_MAX + 1];
    EXPECT_EQ(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "alot", other, sizeof other),
              RES_CHANGE_WORD);

    EXPECT_EQ(ORTH_CloseLex(s, 0), 0);
    ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0);
    EXPECT_EQ(Listing(s, 0), edited);
    EXPECT_EQ(ORTH_CloseSession(s), 0);
  }
}

// A carriage return that ends an entry in memory would read back as part of
// the line end: the loader drops it, so that a save loses nothing.
TEST(SaveRoundTrip, EntriesEndingInReturnsLoadAsTheyWillReadBack) {
  struct Row {
    const char* name;
    std::string file;
    std::vector<std::string> entries;
  };
  const std::string longLine = std::string(29, 'a') + "\r" + std::string(10, 'b') + "\n";
  const Row rows[] = {
      {"return before a NUL", std::string("#LID 1033 1 2\nab\r\r\0cd\nef\n", 25), {"ab", "ef"}},
      {"return at the cut to 30", "#LID 1033 1 1\n" + longLine, {std::string(29, 'a')}},
      {"other word of a change entry",
       std::string("#LID 1033 0 1\nteh:the\r\0x\n", 25),
       {"teh:the"}},
      {"return inside a change word stays", "#LID 1033 0 1\nab\r:cd\n", {"ab\r:cd"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::TempDir dir;
    const std::string path = dir.PathOf("user.lex");
    std::ofstream(path, std::ios::binary) << row.file;
    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0);
    EXPECT_EQ(Listing(s, 0), row.entries);
    ASSERT_EQ(ORTH_AddToLex(s, 0, "zz", "z"), 0);  // modified, so the close saves
    ASSERT_EQ(ORTH_DelFromLex(s, 0, "zz"), 0);
    ASSERT_EQ(ORTH_CloseLex(s, 0), 0);
    ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0);
    EXPECT_EQ(Listing(s, 0), row.entries);
    ORTH_CloseSession(s);
  }
}

// Killing a save needs a child process to kill (fork): POSIX only.
#if !defined(_WIN32)
// A list of n entries, each starting with prefix.
std::vector<std::string> NumberedWords(const std::string& prefix, int n) {
  std::vector<std::string> words;
  for (int i = 0; i < n; ++i) words.push_back(prefix + std::to_string(10000 + i));
  return words;
}

// Saves the two lists in turn, forever; the parent kills it. The lists differ
// by their last word, so that each round is mostly loading and saving.
[[noreturn]] void SaveForever(const std::string& path) {
  const int32_t s = ORTH_OpenSession();
  for (unsigned round = 0;; ++round) {
    if (ORTH_OpenLex(s, path.c_str(), -1) != 0) _exit(3);
    const int32_t edited =
        round % 2 == 0 ? ORTH_AddToLex(s, 0, "omega", nullptr) : ORTH_DelFromLex(s, 0, "omega");
    if (edited != 0 || ORTH_CloseLex(s, 0) != 0) _exit(4);
  }
}

TEST(SaveFault, KilledSaveLeavesTheOldOrTheNewCompleteList) {
  test::TempDir dir;
  const std::string path = dir.PathOf("user.lex");
  std::vector<std::string> lists[2] = {NumberedWords("alpha", 2000), {}};
  lists[1] = lists[0];
  lists[1].push_back("omega");
  {
    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_CreateLex(s, path.c_str(), LEX_TYPE_ACCEPT, 1033), 0);
    for (const std::string& word : lists[0]) ORTH_AddToLex(s, 0, word.c_str(), nullptr);
    ASSERT_EQ(ORTH_CloseLex(s, 0), 0);
    ORTH_CloseSession(s);
  }
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> pause(0, 20000);  // microseconds
  int endedByItself = 0;
  for (int round = 0; round < 50; ++round) {
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(path);
    std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) ++endedByItself;

    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0) << "round " << round;
    const std::vector<std::string> found = Listing(s, 0);
    EXPECT_TRUE(found == lists[0] || found == lists[1])
        << "round " << round << ": " << found.size() << " entries";
    ORTH_CloseSession(s);
  }
  EXPECT_EQ(endedByItself, 0);  // every child was still saving when killed

  // Temporary files a killed save left behind do not stop later saves.
  const int32_t s = ORTH_OpenSession();
  ASSERT_EQ(ORTH_OpenLex(s, path.c_str(), -1), 0);
  ASSERT_EQ(ORTH_AddToLex(s, 0, "gamma", nullptr), 0);
  EXPECT_EQ(ORTH_CloseLex(s, 0), 0);
  ORTH_CloseSession(s);
}
#endif  // !_WIN32

}  // namespace
}  // namespace orth
