// Shared measuring loop of the comparison drivers. Each driver supplies three
// callables: load the dictionary, check one word, suggest for one word; this
// file reads the inputs, times everything and prints "key value" lines that
// summarize.py collects.
//
//   driver WORDS MISSPELLINGS [dictionary arguments]
//
// WORDS holds one corpus token per line, MISSPELLINGS "wrong<TAB>right" per
// line; both Latin-1. A driver whose checker wants UTF-8 converts the inputs
// before any timing starts.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace compare {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// CPU time of this thread in seconds: unlike the wall clock it does not count
// the time the thread waited for a core, so it stays meaningful on a busy
// machine.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Resident set size of this process in kilobytes.
inline long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

inline std::vector<std::string> ReadLines(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

inline std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

struct Pair {
  std::string wrong;
  std::string right;
};

inline std::vector<Pair> ReadPairs(const char* path, bool utf8) {
  std::vector<Pair> pairs;
  for (const std::string& line : ReadLines(path)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    Pair pair{line.substr(0, tab), line.substr(tab + 1)};
    if (utf8) pair = {Latin1ToUtf8(pair.wrong), Latin1ToUtf8(pair.right)};
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

inline double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * values.size()));
  return values[index];
}

// Runs the measurements and prints them. check returns true for a correct
// word; suggest fills the vector with at most 10 suggestions, best first;
// prepare runs once between the check pass and the suggestions, untimed.
template <typename Load, typename Check, typename Suggest, typename Prepare>
int Run(int argc, char** argv, bool utf8, Load load, Check check, Suggest suggest,
        Prepare prepare) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s WORDS MISSPELLINGS [dictionary...]\n", argv[0]);
    return 2;
  }
  std::vector<std::string> words = ReadLines(argv[1]);
  if (utf8) {
    for (std::string& word : words) word = Latin1ToUtf8(word);
  }
  const std::vector<Pair> pairs = ReadPairs(argv[2], utf8);

  const long rssBefore = ResidentKb();
  const double loadCpuStart = CpuSeconds();
  const auto loadStart = Clock::now();
  if (!load(argc - 3, argv + 3)) {
    std::fprintf(stderr, "cannot load the dictionary\n");
    return 1;
  }
  const auto loadEnd = Clock::now();
  const double loadCpu = CpuSeconds() - loadCpuStart;
  const long rssLoaded = ResidentKb();

  size_t misspelled = 0;
  const double checkCpuStart = CpuSeconds();
  const auto checkStart = Clock::now();
  for (const std::string& word : words) {
    if (!check(word)) ++misspelled;
  }
  const auto checkEnd = Clock::now();
  const double checkCpu = CpuSeconds() - checkCpuStart;

  prepare();
  std::vector<double> latencies, cpuLatencies;
  latencies.reserve(pairs.size());
  cpuLatencies.reserve(pairs.size());
  size_t top1 = 0, top5 = 0, top10 = 0;
  std::vector<std::string> suggestions;
  for (const Pair& pair : pairs) {
    suggestions.clear();
    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    suggest(pair.wrong, suggestions);
    latencies.push_back(Seconds(start, Clock::now()) * 1e3);
    cpuLatencies.push_back((CpuSeconds() - cpuStart) * 1e3);
    for (size_t rank = 0; rank < suggestions.size() && rank < 10; ++rank) {
      if (suggestions[rank] != pair.right) continue;
      if (rank < 1) ++top1;
      if (rank < 5) ++top5;
      ++top10;
      break;
    }
  }
  const long rssRun = ResidentKb();

  double mean = 0;
  for (double latency : latencies) mean += latency;
  if (!latencies.empty()) mean /= static_cast<double>(latencies.size());
  const double n = pairs.empty() ? 1.0 : static_cast<double>(pairs.size());
  std::printf("words %zu\n", words.size());
  std::printf("misspelled %zu\n", misspelled);
  std::printf("check_words_per_s %.0f\n", words.size() / Seconds(checkStart, checkEnd));
  std::printf("check_cpu_words_per_s %.0f\n", words.size() / checkCpu);
  std::printf("load_ms %.3f\n", Seconds(loadStart, loadEnd) * 1e3);
  std::printf("load_cpu_ms %.3f\n", loadCpu * 1e3);
  std::printf("rss_load_growth_kb %ld\n", rssLoaded - rssBefore);
  std::printf("rss_after_load_kb %ld\n", rssLoaded);
  std::printf("rss_after_run_kb %ld\n", rssRun);
  std::printf("pairs %zu\n", pairs.size());
  std::printf("suggest_mean_ms %.4f\n", mean);
  std::printf("suggest_p50_ms %.4f\n", Percentile(latencies, 0.50));
  std::printf("suggest_p99_ms %.4f\n", Percentile(latencies, 0.99));
  std::printf("suggest_cpu_p50_ms %.4f\n", Percentile(cpuLatencies, 0.50));
  std::printf("suggest_cpu_p99_ms %.4f\n", Percentile(cpuLatencies, 0.99));
  std::printf("top1_pct %.1f\n", 100.0 * top1 / n);
  std::printf("top5_pct %.1f\n", 100.0 * top5 / n);
  std::printf("top10_pct %.1f\n", 100.0 * top10 / n);
  return 0;
}

template <typename Load, typename Check, typename Suggest>
int Run(int argc, char** argv, bool utf8, Load load, Check check, Suggest suggest) {
  return Run(argc, argv, utf8, load, check, suggest, [] {});
}

}  // namespace compare
