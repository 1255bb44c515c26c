#include <cstdio>
#include <string>
#include <vector>

#include "tools/banktool/banktool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  velmor::BanktoolResult result = velmor::RunBanktool(args);
  std::fwrite(result.out.data(), 1, result.out.size(), stdout);
  std::fwrite(result.err.data(), 1, result.err.size(), stderr);
  return result.exitCode;
}
