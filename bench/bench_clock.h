// Timing and memory for the native benchmarks: processor time, which the other core's work does
// not lengthen as it does the wall clock, the best of several rounds, and the peak memory of a
// piece of work run in a child process of its own.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace velmor::bench {

// Processor time of this process (user and system).
inline double ProcessorSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline double BestProcessorTime(int rounds, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const double start = ProcessorSeconds();
    work();
    best = std::min(best, ProcessorSeconds() - start);
  }
  return best;
}

// Runs `work` in a child process; its peak resident memory in bytes. What this process holds
// counts in the child's too, so call it before holding anything big.
inline long PeakMemoryOf(const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return -1;
  return usage.ru_maxrss * 1024L;
}

}  // namespace velmor::bench
