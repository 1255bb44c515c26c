// Timing helpers of the benchmarks that drive real windows under Wine.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>

namespace velmor::bench {

// Seconds, from the performance counter.
inline double Now() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles every message waiting (paints included), so that a timing holds what it left.
inline void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// The best of `rounds` timings of `work`, the messages waiting before and after it handled.
inline double Best(int rounds, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    Pump();
    double start = Now();
    work();
    Pump();
    best = std::min(best, Now() - start);
  }
  return best;
}

}  // namespace velmor::bench
