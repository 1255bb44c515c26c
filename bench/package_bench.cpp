// Packs a folder tree into a package in memory and unpacks it into another folder, as the
// operation editor does for a question, and prints how long each half took. Run under Wine
// by package_bench.sh, which compares the whole run with xcopy /e /i of the same tree.
//
//   package_bench SOURCE TARGET
#include <windows.h>

#include <cstdio>

#include "oblen/editor/win32_file_access.h"
#include "oblen/model/packing.h"

namespace {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: package_bench SOURCE TARGET\n");
    return 64;
  }
  velmor::Win32FileAccess files;
  velmor::FilePackage package;
  double start = Now();
  if (!velmor::BuildPackage(files, argv[1], argv[2], 1, package)) {
    std::fprintf(stderr, "packing failed\n");
    return 1;
  }
  double packed = Now();
  velmor::UnpackResult result = velmor::Unpack(files, package);
  double unpacked = Now();
  std::printf("entries %d, data %.1f MB, pack %.3f s, unpack %.3f s, files failed %d\n",
              package.entryCount, package.data.size() / 1e6, packed - start, unpacked - packed,
              result.filesFailed);
  return result.filesFailed == 0 && result.entriesRefused == 0 ? 0 : 1;
}
