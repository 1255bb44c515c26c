// Feeds arbitrary bytes to the zip reader as an archive and reads every entry under small
// limits. An entry that reads has exactly the size its directory gives; one that does not
// leaves nothing behind; and whatever was read comes back the same through the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/office/zip_archive.h"

namespace {

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = a[i], y = b[i];
    const bool letters = (x | 0x20) >= 'a' && (x | 0x20) <= 'z';
    if (x != y && !(letters && (x | 0x20) == (y | 0x20))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor::ZipLimits limits;
  limits.maxEntries = 1000;
  limits.maxEntrySize = 4 << 20;
  velmor::ZipArchive archive;
  if (!archive.Open(data, size, limits)) {
    if (!archive.entries().empty()) std::abort();
    return 0;
  }

  velmor::ZipWriter writer;
  std::vector<std::pair<std::string, std::string>> read;
  for (const velmor::ZipEntry& entry : archive.entries()) {
    // The name with a slash before it finds this entry or one that differs in case only.
    const velmor::ZipEntry* found = archive.Find("/" + entry.name);
    if (found == nullptr || !SameIgnoringAsciiCase(found->name, entry.name)) std::abort();

    std::string out = "stale";
    if (!archive.Read(entry, out)) {
      if (!out.empty()) std::abort();
      continue;
    }
    if (out.size() != entry.size) std::abort();
    const auto method = read.size() % 2 ? velmor::ZipWriter::Method::kStored
                                        : velmor::ZipWriter::Method::kDeflated;
    if (!writer.Add(entry.name, out, method)) std::abort();
    read.emplace_back(entry.name, std::move(out));
  }

  // Deflate may pack what was stored far tighter than the archive did: no ratio limit here.
  const std::vector<unsigned char> copy = writer.Finish();
  velmor::ZipLimits copyLimits = limits;
  copyLimits.maxRatio = 2000;
  velmor::ZipArchive again;
  if (!again.Open(copy.data(), copy.size(), copyLimits)) std::abort();
  if (again.entries().size() != read.size()) std::abort();
  for (std::size_t i = 0; i < read.size(); ++i) {
    std::string out;
    if (again.entries()[i].name != read[i].first || !again.Read(again.entries()[i], out) ||
        out != read[i].second) {
      std::abort();
    }
  }
  return 0;
}
