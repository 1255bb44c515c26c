// Feeds arbitrary bytes to the package reader and to Unpack: an entry count (int32), then a
// data area. Whatever the bytes, the reader stays inside the area, a consistent area is
// filled exactly by its entries, and Unpack names no path outside its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/base/byte_order.h"
#include "common/base/gbk.h"
#include "oblen/model/package_format.h"
#include "oblen/model/packing.h"

namespace {

const std::string kFolder = "C:\\u";

// An oracle of its own: split at separators character by character; no component may climb
// (two or more dots and nothing but dots and blanks) and no colon may appear.
bool StaysInside(const std::string& path) {
  if (path.rfind(kFolder + "\\", 0) != 0) return false;
  std::string rest = path.substr(kFolder.size() + 1);
  if (rest.find(':') != std::string::npos || rest.empty() || rest[0] == '\\' || rest[0] == '/') {
    return false;
  }
  std::string component;
  auto climbs = [](const std::string& c) {
    return c.find_first_not_of(". ") == std::string::npos && c.find("..") != std::string::npos;
  };
  for (std::size_t i = 0; i < rest.size();) {
    unsigned char byte = static_cast<unsigned char>(rest[i]);
    std::size_t width = velmor::IsGbkLeadByte(byte) && i + 1 < rest.size() ? 2 : 1;
    if (width == 1 && (byte == '\\' || byte == '/')) {
      if (climbs(component)) return false;
      component.clear();
    } else {
      component.append(rest, i, width);
    }
    i += width;
  }
  return !climbs(component);
}

class RecordingFiles : public velmor::FileAccess {
 public:
  bool ListFolder(const std::string&, std::vector<FolderItem>&) override { return false; }
  ReadResult ReadSharedFile(const std::string&, std::vector<unsigned char>&, uint64_t) override {
    return ReadResult::kCannotOpen;
  }
  void CreateFolder(const std::string& path) override {
    // The unpack folder and its ancestors, or something inside it.
    if (path != "C:" && path != kFolder && !StaysInside(path)) std::abort();
  }
  bool WriteWholeFile(const std::string& path, const unsigned char*, std::size_t) override {
    if (!StaysInside(path)) std::abort();
    return true;
  }
  // Every target passes the platform's check here: the component rules must keep the
  // targets inside on their own.
  bool LiesBelow(const std::string&, const std::string&) override { return true; }
  bool PassesLinkBelow(const std::string&, const std::string&) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int32_t count = velmor::ReadLe32(data);
  std::vector<unsigned char> area(data + 4, data + size);

  velmor::PackageEntryReader reader(area);
  velmor::PackageEntry entry;
  std::size_t covered = 0;
  while (reader.Next(entry)) {
    covered += velmor::PackageEntry::kHeadSize + entry.size;
    if (entry.content < area.data() || entry.content + entry.size > area.data() + area.size()) {
      std::abort();
    }
  }
  if (covered != reader.position()) std::abort();

  velmor::FilePackage package;
  package.unpackFolder.Assign(kFolder);
  package.entryCount = count;
  package.data = std::move(area);
  // A consistent area reads to its end without damage.
  if (velmor::IsConsistentPackageData(package.data.data(), package.data.size(), count) &&
      reader.damaged()) {
    std::abort();
  }
  RecordingFiles files;
  velmor::Unpack(files, package);
  return 0;
}
