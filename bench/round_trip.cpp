#include "bench/round_trip.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace velmor::bench {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// A figure of /proc/self/status in bytes (Linux): VmHWM, the peak resident memory since the
// last reset, or VmRSS, the resident memory now.
long long StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atoll(line.c_str() + prefix.size()) * 1024;
  }
  return -1;
}

long long PeakResidentBytes() { return StatusBytes("VmHWM"); }

void ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

void PlainCopy(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY);
  off_t size = ::lseek(in, 0, SEEK_END);
  ::lseek(in, 0, SEEK_SET);
  std::unique_ptr<char[]> bytes(new char[size]);
  for (off_t done = 0; done < size;) {
    ssize_t count = ::read(in, bytes.get() + done, size - done);
    if (count <= 0) std::exit(1);
    done += count;
  }
  ::close(in);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (off_t done = 0; done < size;) {
    ssize_t count = ::write(out, bytes.get() + done, size - done);
    if (count <= 0) std::exit(1);
    done += count;
  }
  ::fsync(out);
  ::close(out);
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second), std::istreambuf_iterator<char>());
}

}  // namespace

std::string BenchFolder(int argc, char** argv) {
  if (argc > 2) return argv[2];
  const char* temporary = std::getenv("TMPDIR");
  return temporary ? temporary : "/tmp";
}

int RunRoundTrip(const std::string& source, const std::string& folder,
                 const LoadAndSave& loadAndSave) {
  std::string plainTarget = folder + "/round_trip_plain.out";
  std::string modelTarget = folder + "/round_trip_model.out";
  std::ifstream sized(source, std::ios::binary | std::ios::ate);
  double fileSize = static_cast<double>(sized.tellg());
  // Hand back what making the source left in the heap, so the peaks below are the rounds' own.
  ::malloc_trim(0);
  long long baseline = StatusBytes("VmRSS");

  double plainBest = 1e9, modelBest = 1e9;
  long long plainPeak = 0, modelPeak = 0;
  for (int round = 0; round < 3; ++round) {
    ResetPeakResident();
    Clock::time_point start = Clock::now();
    PlainCopy(source, plainTarget);
    plainBest = std::min(plainBest, Seconds(start));
    plainPeak = std::max(plainPeak, PeakResidentBytes());

    ResetPeakResident();
    start = Clock::now();
    if (!loadAndSave(source, modelTarget)) {
      std::fprintf(stderr, "Load or Save failed\n");
      return 1;
    }
    modelBest = std::min(modelBest, Seconds(start));
    modelPeak = std::max(modelPeak, PeakResidentBytes());
  }
  bool identical = SameBytes(source, modelTarget);
  std::printf("file size               %.1f MB\n", fileSize / 1e6);
  std::printf("resident before rounds  %.2f x file (included in the peaks below)\n",
              baseline / fileSize);
  std::printf("plain read + write      %.3f s   peak memory %.2f x file\n", plainBest,
              plainPeak / fileSize);
  std::printf("Load + Save             %.3f s   peak memory %.2f x file\n", modelBest,
              modelPeak / fileSize);
  std::printf("time ratio              %.2f     (goal: at most 1.5)\n", modelBest / plainBest);
  std::printf("memory / file size      %.2f     (goal: at most 1.5)\n", modelPeak / fileSize);
  std::printf("saved file identical    %s\n", identical ? "yes" : "NO");
  std::remove(source.c_str());
  std::remove(plainTarget.c_str());
  std::remove(modelTarget.c_str());
  return identical ? 0 : 1;
}

}  // namespace velmor::bench
