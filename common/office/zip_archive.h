// Reading a zip archive held in memory: the central directory, then one entry at a time,
// inflated with zlib under limits a hostile file cannot get past.
//
// Only what an Office document can hold is read: stored and deflated entries, no encryption,
// no multi-disk archives. An archive that claims more than it can hold (counts, offsets or
// sizes beyond the buffer, a local header that disagrees with the directory) is refused when
// it is opened or when the entry is read; nothing outside the buffer is ever touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

struct ZipLimits {
  std::size_t maxEntries = 10000;                   // more entries: the archive is refused
  uint64_t maxEntrySize = 256ull * 1024 * 1024;      // an entry inflating past this is refused
  uint64_t maxRatio = 200;                           // nor to more than this times its stored size
};

struct ZipEntry {
  std::string name;            // as stored (forward slashes), without a leading slash
  uint16_t flags = 0;          // general purpose bits; bit 0 means encrypted
  uint16_t method = 0;         // 0 stored, 8 deflated
  uint32_t crc32 = 0;
  uint64_t compressedSize = 0;
  uint64_t size = 0;           // uncompressed, as the directory says
  uint64_t localHeaderOffset = 0;
};

class ZipArchive {
 public:
  // Reads the central directory of the archive in `data` (kept alive by the caller). False
  // when it is not a zip archive, is damaged, or holds more entries than `limits` allow.
  bool Open(const unsigned char* data, std::size_t size, const ZipLimits& limits = ZipLimits());

  const std::vector<ZipEntry>& entries() const { return entries_; }

  // The entry of that name, ASCII letters compared without regard to case (as part names of
  // an Office package are); a leading slash in `name` is ignored. Null when there is none.
  const ZipEntry* Find(std::string_view name) const;

  // Replaces `out` with the entry's content. False, with `out` cleared, when the entry is
  // encrypted, uses another method, is damaged (its data runs past the archive, the inflated
  // size differs from the directory's or its CRC does not match) or breaks the limits.
  bool Read(const ZipEntry& entry, std::string& out) const;

 private:
  const unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
  ZipLimits limits_;
  std::vector<ZipEntry> entries_;
};

// Builds a zip archive in memory, entry by entry.
class ZipWriter {
 public:
  enum class Method { kStored, kDeflated };

  // Adds an entry; names use forward slashes. False when the archive would break the format's
  // 32-bit sizes and offsets (no zip64 is written).
  bool Add(std::string_view name, std::string_view content, Method method = Method::kDeflated);

  // Appends the central directory and returns the whole archive; the writer is empty after.
  std::vector<unsigned char> Finish();

 private:
  struct Written {
    std::string name;
    uint16_t method;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t size;
    uint32_t offset;
  };
  std::vector<unsigned char> bytes_;
  std::vector<Written> written_;
  uint64_t directorySize_ = 0;  // of the central directory that Finish appends
};

}  // namespace velmor
