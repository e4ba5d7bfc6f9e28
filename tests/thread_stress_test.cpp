// The engine in a multi-threaded host: sessions used in parallel from many
// threads, one session shared by two threads, sessions opened and closed
// while others work, and sessions sharing one dictionary file. Every answer
// must equal the answer of the same call made by a single thread. Built also
// under ThreadSanitizer (label "threads"), which must report nothing.
//
// Every load is bounded both by a count of rounds and by a deadline, so that
// a slow build (a sanitizer's) stays within seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "lex_file_builder.h"
#include "orth.h"

namespace {

using Clock = std::chrono::steady_clock;
using Transcript = std::vector<std::string>;

const std::string kEnglish = ORTH_DICT_DIR "/en_US.olx";
// Latin-1 words: known, misspelled, with apostrophes and accents, capitalised.
const char* const kWords[] = {"receive",  "recieve", "langauge", "the",    "agian", "withuot",
                              "Sentence", "don't",   "caf\xE9",  "xyzzy",  "a",     "spelling",
                              "wierd",    "THEIR",   "occured",  "debian", "nasa"};
const char kProse[] = "Teh quick brown fox jumpd over the the lazy dog, agian and agian.";

// A deadline for one load; the rounds stop early when it passes.
struct Deadline {
  Clock::time_point end = Clock::now() + std::chrono::seconds(8);
  bool Passed() const { return Clock::now() > end; }
};

std::string List(const char* buffer) {
  std::string out;
  for (const char* p = buffer; *p != '\0'; p += std::strlen(p) + 1) out += std::string(p) + ",";
  return out;
}

// The word calls of one session: checks, classic and ranked suggestions and
// phonetic searches on every word, each answer with its output.
void AskWords(int32_t s, Transcript& out) {
  int n = 0;
  for (const char* word : kWords) {
    char buffer[WORD_MAX + 1];
    const int32_t check =
        ORTH_CheckWord(s, OPT_REPORT_MISSPELLED | OPT_SPLIT_AT_APOSTROPHE | OPT_REPORT_WRONG_CASE,
                       word, buffer, sizeof buffer);
    out.push_back(std::string("check ") + word + " " + std::to_string(check) + " " + buffer);
    char list[4096];
    int32_t scores[8] = {};
    const int32_t classic = ORTH_Suggest(s, word, SUGGEST_LEVEL_AUTO, list, sizeof list, scores, 8);
    out.push_back("suggest " + std::to_string(classic) + " " + List(list));
    const int32_t ranked = ORTH_SuggestRanked(s, word, list, sizeof list, scores, 8);
    out.push_back("ranked " + std::to_string(ranked) + " " + List(list) +
                  std::to_string(scores[0]) + "," + std::to_string(scores[1]));
    // A phonetic search reads the whole dictionary: every third word is
    // enough, and keeps the sanitizer builds quick.
    if (n++ % 3 != 0) continue;
    const int32_t sounds = ORTH_PhonSearch(s, word, list, sizeof list);
    out.push_back("phon " + std::to_string(sounds) + " " + List(sounds >= 0 ? list : ""));
  }
}

// A block walk that corrects the prose: the first suggestion replaces a
// misspelled word, a doubled word is deleted.
void WalkBlock(int32_t s, Transcript& out) {
  char text[128];
  std::memcpy(text, kProse, sizeof kProse);
  const int32_t b = ORTH_OpenBlock(s, text, sizeof kProse - 1, sizeof text, 1);
  out.push_back("block " + std::to_string(b));
  if (b < 0) return;
  char word[WORD_MAX + 1], other[WORD_MAX + 1];
  for (int guard = 0; guard < 40; ++guard) {
    const int32_t r = ORTH_CheckBlock(s, b, OPT_REPORT_MISSPELLED | OPT_REPORT_DOUBLED_WORD, word,
                                      sizeof word, other, sizeof other);
    out.push_back("walk " + std::to_string(r) + " " + word);
    if (r == RES_END_OF_BLOCK || r < 0) break;
    if (r & RES_DOUBLED_WORD) {
      out.push_back("del " + std::to_string(ORTH_DelBlockWord(s, b)));
    } else if (r & RES_MISSPELLED) {
      char list[128];
      int32_t scores[1];
      ORTH_Suggest(s, word, SUGGEST_LEVEL_AUTO, list, sizeof list, scores, 1);
      out.push_back("replace " + std::string(list) + " " +
                    std::to_string(ORTH_ReplaceBlockWord(s, b, list)));
      out.push_back("next " + std::to_string(ORTH_NextBlockWord(s, b)));
    } else {
      out.push_back("next " + std::to_string(ORTH_NextBlockWord(s, b)));
    }
  }
  char copy[128] = {};
  const int32_t length = ORTH_GetBlock(s, b, copy, sizeof copy);
  out.push_back("text " + std::to_string(length) + " " + copy);
  out.push_back("closeblock " + std::to_string(ORTH_CloseBlock(s, b)));
}

// A user word list: created with a file, filled, saved by its close, read
// back. The file is the caller's own.
void KeepUserList(int32_t s, const std::string& file, Transcript& out) {
  const int32_t lex = ORTH_CreateLex(s, file.c_str(), LEX_TYPE_ACCEPT, 1033);
  out.push_back("create " + std::to_string(lex));
  if (lex < 0) return;
  for (const char* word : {"zorblatt", "quux", "orthspell"}) {
    out.push_back("add " + std::to_string(ORTH_AddToLex(s, lex, word, nullptr)));
  }
  out.push_back("known " +
                std::to_string(ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "Quux", nullptr, 0)));
  out.push_back("save " + std::to_string(ORTH_CloseLex(s, lex)));
  const int32_t again = ORTH_OpenLex(s, file.c_str(), -1);
  char listing[256] = {};
  const int32_t listed = ORTH_GetLex(s, again, listing, sizeof listing);
  out.push_back("reopen " + std::to_string(again) + " " + std::to_string(listed) + " " +
                List(listing));
  out.push_back("close " + std::to_string(ORTH_CloseLex(s, again)));
  std::remove(file.c_str());
}

// Everything a worker does on a session of its own, with the dictionary
// opened under a cache budget (small enough to evict) or without one.
Transcript Work(const std::string& userList, int32_t budget) {
  Transcript out;
  const int32_t s = ORTH_OpenSession();
  if (s < 0) return {"open " + std::to_string(s)};
  out.push_back("lex " + std::to_string(ORTH_OpenLex(s, kEnglish.c_str(), budget)));
  AskWords(s, out);
  WalkBlock(s, out);
  KeepUserList(s, userList, out);
  // The message dispatcher reaches the same functions.
  out.push_back("message " + std::to_string(qzptSendORTHMessage(
                                 MSG_CHECK_WORD, s, OPT_REPORT_MISSPELLED,
                                 reinterpret_cast<intptr_t>("recieve"), 0, 0, 0, 0)));
  out.push_back("closesession " + std::to_string(ORTH_CloseSession(s)));
  return out;
}

// Runs fn(thread index) on `count` threads at once and waits for them.
void OnThreads(int count, const std::function<void(int)>& fn) {
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < count; ++t) {
    threads.emplace_back([&, t] {
      // Start together, so that the first uses (the index builds) overlap.
      ++ready;
      while (ready.load() < count) std::this_thread::yield();
      fn(t);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

constexpr int kWorkers = 4;

TEST(ThreadStress, WorkersWithTheirOwnSessionsAnswerAsOneThreadDoes) {
  orth::test::TempDir dir;
  const Transcript unlimited = Work(dir.PathOf("single.lex"), -1);
  const Transcript budgeted = Work(dir.PathOf("single.lex"), 70000);
  ASSERT_EQ(unlimited, budgeted);  // the cache budget never changes an answer
  ASSERT_GT(unlimited.size(), 70u);
  std::vector<int> mismatches(kWorkers, 0);
  Deadline deadline;
  OnThreads(kWorkers, [&](int t) {
    for (int round = 0; round < 3 && !deadline.Passed(); ++round) {
      const std::string list = dir.PathOf("user" + std::to_string(t) + ".lex");
      if (Work(list, t % 2 == 0 ? -1 : 70000) != unlimited) ++mismatches[t];
    }
  });
  EXPECT_EQ(mismatches, std::vector<int>(kWorkers, 0));
}

TEST(ThreadStress, TwoThreadsOnOneSessionAreSerialised) {
  const int32_t s = ORTH_OpenSession();
  ASSERT_GE(s, 0);
  ASSERT_EQ(ORTH_OpenLex(s, kEnglish.c_str(), -1), 0);
  // A change list: its entries reach only the answers for themselves, so
  // what one thread adds never shows in the other's suggestions.
  ASSERT_EQ(ORTH_CreateLex(s, nullptr, LEX_TYPE_CHANGE, 0), 1);
  Transcript expected;
  AskWords(s, expected);
  Transcript expectedWalk;
  WalkBlock(s, expectedWalk);
  std::vector<int> mismatches(2, 0);
  Deadline deadline;
  OnThreads(2, [&](int t) {
    // Each thread adds and removes entries of its own in the shared list, so
    // its answers do not depend on how the two interleave.
    const std::string mine = t == 0 ? "frobnicate" : "grault";
    for (int round = 0; round < 4 && !deadline.Passed(); ++round) {
      Transcript got;
      AskWords(s, got);
      if (got != expected) ++mismatches[t];
      if (ORTH_AddToLex(s, 1, mine.c_str(), "fixed") != 0) ++mismatches[t];
      char other[WORD_MAX + 1];
      if (ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, mine.c_str(), other, sizeof other) !=
              RES_CHANGE_WORD ||
          std::strcmp(other, "fixed") != 0) {
        ++mismatches[t];
      }
      if (ORTH_DelFromLex(s, 1, mine.c_str()) != 0) ++mismatches[t];
      // A block of its own in the shared session: its number may differ,
      // nothing else.
      Transcript walk;
      WalkBlock(s, walk);
      if (walk.size() != expectedWalk.size() || walk[0] == "block -15" ||
          !std::equal(walk.begin() + 1, walk.end(), expectedWalk.begin() + 1)) {
        ++mismatches[t];
      }
    }
  });
  EXPECT_EQ(mismatches, std::vector<int>(2, 0));
  EXPECT_EQ(ORTH_CloseSession(s), 0);
}

TEST(ThreadStress, SessionsOpenAndCloseWhileOthersWork) {
  orth::test::TempDir dir;
  const Transcript expected = Work(dir.PathOf("single.lex"), -1);
  std::atomic<bool> churning{true};
  std::atomic<int> failures{0};
  std::atomic<int> opened{0};
  Deadline deadline;
  OnThreads(3, [&](int t) {
    if (t == 0) {
      // Opens and closes sessions; each answers as a fresh one does.
      for (int round = 0; round < 60 && !deadline.Passed(); ++round) {
        const int32_t s = ORTH_OpenSession();
        if (s == ERR_TOO_MANY_SESSIONS) continue;
        if (s < 0 || ORTH_OpenLex(s, kEnglish.c_str(), -1) != 0) ++failures;
        if (ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "receive", nullptr, 0) != 0) ++failures;
        if (ORTH_CloseSession(s) != 0) ++failures;
        ++opened;
      }
      churning = false;
    } else if (t == 1) {
      // Calls on every session number: an answer of an open session, or
      // ERR_BAD_SESSION for a number that is closed or being closed.
      while (churning.load()) {
        for (int32_t s = 0; s < MAX_SESSIONS; ++s) {
          const int32_t r = ORTH_CheckWord(s, OPT_REPORT_MISSPELLED, "receive", nullptr, 0);
          if (r != 0 && r != RES_MISSPELLED && r != ERR_BAD_SESSION) ++failures;
        }
      }
    } else {
      while (churning.load()) {
        if (Work(dir.PathOf("worker.lex"), -1) != expected) ++failures;
      }
    }
  });
  EXPECT_EQ(failures.load(), 0);
  EXPECT_GT(opened.load(), 0);
  // Every session was closed again: all numbers are free.
  std::vector<int32_t> all;
  for (int i = 0; i < MAX_SESSIONS; ++i) all.push_back(ORTH_OpenSession());
  for (int i = 0; i < MAX_SESSIONS; ++i) EXPECT_EQ(all[i], i);
  for (int32_t s : all) EXPECT_EQ(ORTH_CloseSession(s), 0);
}

TEST(ThreadStress, SessionsSharingOneDictionaryBuildItsIndexOnce) {
  // Sessions that open the same file at once and ask for ranked suggestions
  // first, so that the first use of the index is made by all of them
  // together; then close in turn while the others go on.
  Transcript expected;
  {
    const int32_t s = ORTH_OpenSession();
    ASSERT_EQ(ORTH_OpenLex(s, kEnglish.c_str(), -1), 0);
    AskWords(s, expected);
    ASSERT_EQ(ORTH_CloseSession(s), 0);
  }
  std::vector<int> mismatches(kWorkers, 0);
  Deadline deadline;
  for (int round = 0; round < 2 && !deadline.Passed(); ++round) {
    OnThreads(kWorkers, [&](int t) {
      const int32_t s = ORTH_OpenSession();
      if (s < 0 || ORTH_OpenLex(s, kEnglish.c_str(), t == 3 ? 70000 : -1) != 0) {
        ++mismatches[t];
        return;
      }
      Transcript got;
      AskWords(s, got);
      if (got != expected) ++mismatches[t];
      if (ORTH_CloseSession(s) != 0) ++mismatches[t];
    });
  }
  EXPECT_EQ(mismatches, std::vector<int>(kWorkers, 0));
}

}  // namespace
