// Whole-process figures of the engine in a multi-threaded host. The library
// is loaded by path, so that one driver measures two builds of it (this one
// and the one before it became thread-safe) in the same run.
//
//   threads_driver check LIBRARY DICTIONARY WORDS THREADS PASSES [START]
//       THREADS threads, each with a session of its own on DICTIONARY (no
//       cache budget), check every word of WORDS (one a line, Latin-1)
//       PASSES times after one untimed pass. Thread t runs on the t-th CPU
//       the process may use (taskset), so that each thread's rate belongs
//       to one known core. The timed passes begin at START (seconds of the
//       real-time clock) when given, so that two processes started at once
//       check side by side. Prints the wall-clock words/s of the whole
//       process and each thread's CPU and CPU-time words/s.
//   threads_driver rss LIBRARY DICTIONARY WORDS SESSIONS
//       SESSIONS sessions, one after the other on one thread, each open
//       DICTIONARY, ask 8 ranked and 8 classic suggestions and check the
//       first MB of WORDS (a shorter file again from its start until 1 MB
//       is checked); prints the resident set size when all are open.
#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "orth.h"

namespace {

using Clock = std::chrono::steady_clock;

// The exports the driver calls, looked up in the library given.
struct Engine {
  int32_t (*openSession)();
  int32_t (*closeSession)(int32_t);
  int32_t (*openLex)(int32_t, const char*, int32_t);
  int32_t (*checkWord)(int32_t, uint32_t, const char*, char*, uint32_t);
  int32_t (*suggest)(int32_t, const char*, int32_t, char*, uint32_t, int32_t*, int32_t);
  int32_t (*suggestRanked)(int32_t, const char*, char*, uint32_t, int32_t*, int32_t);
};

template <class T>
void Bind(void* library, const char* name, T& to) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    std::fprintf(stderr, "%s is missing from the library\n", name);
    std::exit(2);
  }
  to = reinterpret_cast<T>(symbol);
}

Engine Load(const char* path) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
    std::exit(2);
  }
  Engine e{};
  Bind(library, "ORTH_OpenSession", e.openSession);
  Bind(library, "ORTH_CloseSession", e.closeSession);
  Bind(library, "ORTH_OpenLex", e.openLex);
  Bind(library, "ORTH_CheckWord", e.checkWord);
  Bind(library, "ORTH_Suggest", e.suggest);
  Bind(library, "ORTH_SuggestRanked", e.suggestRanked);
  return e;
}

// The words of a file, one a line, as consecutive NUL-terminated strings
// ended by an empty one: one block, so that the driver's own memory stays
// small beside the engine's. At most maxBytes of the file are read.
struct Words {
  std::string blob;
  size_t count = 0;
};

Words ReadWords(const char* path, size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  Words words;
  std::string line;
  while (words.blob.size() < maxBytes && std::getline(in, line)) {
    if (line.empty()) continue;
    words.blob += line;
    words.blob += '\0';
    ++words.count;
  }
  words.blob += '\0';
  return words;
}

int32_t OpenWithDictionary(const Engine& e, const char* dictionary) {
  const int32_t s = e.openSession();
  if (s < 0 || e.openLex(s, dictionary, -1) != 0) {
    std::fprintf(stderr, "cannot open %s in a session\n", dictionary);
    std::exit(2);
  }
  return s;
}

// The CPUs the process may run on, in order.
std::vector<int> AllowedCpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  std::vector<int> cpus;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (CPU_ISSET(cpu, &set)) cpus.push_back(cpu);
    }
  }
  return cpus;
}

// Keeps the calling thread on one CPU; -1 leaves it where the scheduler
// puts it.
void RunOn(int cpu) {
  if (cpu < 0) return;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

double RealTimeSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Checks every word as a host that only asks "misspelled?" does.
uint64_t CheckAll(const Engine& e, int32_t s, const Words& words) {
  uint64_t misspelled = 0;
  for (const char* word = words.blob.data(); *word != '\0'; word += std::strlen(word) + 1) {
    misspelled += e.checkWord(s, OPT_REPORT_MISSPELLED, word, nullptr, 0) & RES_MISSPELLED;
  }
  return misspelled;
}

int Check(const Engine& e, const char* dictionary, const Words& words, int threads, int passes,
          double startAt) {
  const std::vector<int> cpus = AllowedCpus();
  std::vector<int> cpuOf(threads, -1);
  for (int t = 0; t < threads && !cpus.empty(); ++t) cpuOf[t] = cpus[t % cpus.size()];
  std::vector<int32_t> sessions;
  for (int t = 0; t < threads; ++t) sessions.push_back(OpenWithDictionary(e, dictionary));
  std::vector<double> cpu(threads, 0.0);
  std::vector<uint64_t> found(threads, 0);
  std::atomic<int> ready{0};
  std::atomic<bool> go{false};
  Clock::time_point start;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      RunOn(cpuOf[t]);
      CheckAll(e, sessions[t], words);  // untimed: every section resident
      ++ready;
      // Short sleeps, not a spin: under a real-time priority a spinning
      // thread would keep its core from everything else while it waits.
      while (!go.load()) std::this_thread::sleep_for(std::chrono::microseconds(50));
      const double cpuStart = ThreadCpuSeconds();
      for (int pass = 0; pass < passes; ++pass) found[t] += CheckAll(e, sessions[t], words);
      cpu[t] = ThreadCpuSeconds() - cpuStart;
    });
  }
  while (ready.load() < threads) std::this_thread::sleep_for(std::chrono::microseconds(50));
  while (RealTimeSeconds() < startAt) std::this_thread::sleep_for(std::chrono::microseconds(50));
  start = Clock::now();
  go = true;
  for (std::thread& worker : workers) worker.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double perThread = static_cast<double>(words.count) * passes;
  std::printf("threads %d\nwords_per_s %.0f\n", threads, perThread * threads / wall);
  for (int t = 0; t < threads; ++t) {
    std::printf("thread_cpu %d\nthread_cpu_words_per_s %.0f\nmisspelled %llu\n", cpuOf[t],
                perThread / cpu[t], static_cast<unsigned long long>(found[t]));
  }
  for (const int32_t s : sessions) e.closeSession(s);
  return 0;
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

int Rss(const Engine& e, const char* dictionary, const Words& prose, int sessions) {
  const char* const misspelled[] = {"recieve", "langauge", "agian",    "withuot",
                                    "wierd",   "occured",  "seperate", "definately"};
  std::vector<int32_t> open;
  for (int n = 0; n < sessions; ++n) {
    const int32_t s = OpenWithDictionary(e, dictionary);
    char list[512];
    int32_t scores[10];
    for (const char* word : misspelled) e.suggestRanked(s, word, list, sizeof list, scores, 10);
    for (const char* word : misspelled) e.suggest(s, word, -1, list, sizeof list, scores, 10);
    // 1 MB of prose: the words again from the start while they last less.
    for (size_t checked = 0; checked < (size_t{1} << 20); checked += prose.blob.size()) {
      CheckAll(e, s, prose);
    }
    open.push_back(s);
  }
  std::printf("sessions %d\nrss_kb %ld\nhwm_kb %ld\n", sessions, StatusKb("VmRSS"),
              StatusKb("VmHWM"));
  for (const int32_t s : open) e.closeSession(s);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || argc > 8) {
    std::fprintf(stderr,
                 "usage: %s check LIBRARY DICTIONARY WORDS THREADS PASSES [START]\n"
                 "       %s rss LIBRARY DICTIONARY WORDS SESSIONS\n",
                 argv[0], argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const Engine e = Load(argv[2]);
  // The rss mode checks the first MB of prose.
  const Words words = ReadWords(argv[4], mode == "rss" ? (size_t{1} << 20) : SIZE_MAX);
  if (words.count == 0) {
    std::fprintf(stderr, "no words in %s\n", argv[4]);
    return 2;
  }
  if (mode == "check" && (argc == 7 || argc == 8)) {
    return Check(e, argv[3], words, std::max(1, std::atoi(argv[5])),
                 std::max(1, std::atoi(argv[6])), argc == 8 ? std::atof(argv[7]) : 0.0);
  }
  if (mode == "rss" && argc == 6) {
    return Rss(e, argv[3], words, std::clamp(std::atoi(argv[5]), 1, MAX_SESSIONS));
  }
  std::fprintf(stderr, "unknown mode or wrong arguments\n");
  return 2;
}
