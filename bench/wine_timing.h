// Timing helpers of the benchmarks that drive real windows under Wine.
#pragma once

#include <windows.h>

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

}  // namespace velmor::bench
