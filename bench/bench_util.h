// Timing helpers shared by the benchmarks: run a body several times and report the median, and
// keep a benchmark on one processor.
#pragma once

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace marvo::bench {

// Runs `body` `runs` times and returns the median wall time in milliseconds.
inline double medianMs(int runs, const std::function<void()>& body) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    body();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Prints one result line: name, median, limit and verdict. Returns true when within the limit.
inline bool report(const char* name, double median, double limit, const char* unit, bool higherIsBetter = false) {
  bool ok = higherIsBetter ? median >= limit : median <= limit;
  std::printf("%-60s median %12.2f %s  (%s %.2f)  %s\n", name, median, unit, higherIsBetter ? "need >=" : "limit",
              limit, ok ? "OK" : "FAIL");
  return ok;
}

// Keeps this process on one processor, as bench_cli runs its programs: MARVO_BENCH_CPU, else 0.
// Returns that processor's number.
inline int pinToBenchProcessor() {
  const char* cpuText = std::getenv("MARVO_BENCH_CPU");
  const int cpu = cpuText ? std::atoi(cpuText) : 0;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  if (::sched_setaffinity(0, sizeof set, &set) != 0) std::printf("bench: could not pin to processor %d\n", cpu);
  return cpu;
}

}  // namespace marvo::bench
