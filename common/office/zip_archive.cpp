#include "common/office/zip_archive.h"

#include <algorithm>
#include <limits>

#include "common/office/zip_layout.h"

namespace velmor {

namespace {

using namespace zip;

// Little-endian fields from one window of the archive. A field that would run past the
// window's end reads as zero and fails the reader for good, so nothing outside the window is
// ever read, however damaged the counts and lengths that steer it.
class FieldReader {
 public:
  FieldReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  explicit FieldReader(std::string_view bytes)
      : FieldReader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) {}

  uint16_t U16() { return static_cast<uint16_t>(Take(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Take(4)); }
  uint64_t U64() { return Take(8); }

  std::string_view Bytes(uint64_t count) {
    if (!ok_ || count > remaining()) {
      ok_ = false;
      return {};
    }
    std::string_view bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
  }
  void Skip(uint64_t count) { Bytes(count); }

  bool ok() const { return ok_; }
  std::size_t position() const { return position_; }
  std::size_t remaining() const { return size_ - position_; }

 private:
  uint64_t Take(std::size_t width) {
    if (!ok_ || remaining() < width) {
      ok_ = false;
      return 0;
    }
    uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | data_[position_ + i];
    position_ += width;
    return value;
  }

  const unsigned char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

// What the end records say of the central directory.
struct EndRecord {
  uint32_t disk = 0;
  uint32_t directoryDisk = 0;
  uint64_t diskCount = 0;  // entries on this disk
  uint64_t count = 0;
  uint64_t size = 0;
  uint64_t offset = 0;
  std::size_t limit = 0;   // where the directory must end: the first of the end records
};

// The last end record whose comment fits the archive; `size` when there is none.
std::size_t FindEndRecord(const unsigned char* data, std::size_t size) {
  if (size < kEndSize) return size;
  const std::size_t last = size - kEndSize;
  const std::size_t first = last > kMaxComment ? last - kMaxComment : 0;
  for (std::size_t at = last + 1; at-- > first;) {
    FieldReader record(data + at, kEndSize);
    if (record.U32() != kEndSignature) continue;
    record.Skip(16);
    if (record.U16() <= last - at) return at;
  }
  return size;
}

// The zip64 end record that the locator just before the end record points to; its fields
// replace the end record's. False when it is missing, spans disks or does not fit.
bool ReadZip64End(const unsigned char* data, std::size_t endAt, EndRecord& end) {
  if (endAt < kZip64LocatorSize) return false;
  const std::size_t locatorAt = endAt - kZip64LocatorSize;
  FieldReader locator(data + locatorAt, kZip64LocatorSize);
  if (locator.U32() != kZip64LocatorSignature) return false;
  const uint32_t recordDisk = locator.U32();
  const uint64_t recordAt = locator.U64();
  const uint32_t disks = locator.U32();
  if (recordDisk != 0 || disks > 1) return false;
  if (recordAt > locatorAt || locatorAt - recordAt < kZip64EndSize) return false;

  FieldReader record(data + recordAt, locatorAt - recordAt);
  if (record.U32() != kZip64EndSignature) return false;
  record.Skip(12);  // the record's size, the versions made by and needed
  end.disk = record.U32();
  end.directoryDisk = record.U32();
  end.diskCount = record.U64();
  end.count = record.U64();
  end.size = record.U64();
  end.offset = record.U64();
  end.limit = recordAt;
  return record.ok();
}

// The directory's place from the end records; false for a multi-disk archive or a directory
// that does not lie wholly before the end records.
bool FindDirectory(const unsigned char* data, std::size_t size, EndRecord& end) {
  const std::size_t endAt = FindEndRecord(data, size);
  if (endAt == size) return false;
  FieldReader record(data + endAt, kEndSize);
  record.Skip(4);
  end.disk = record.U16();
  end.directoryDisk = record.U16();
  end.diskCount = record.U16();
  end.count = record.U16();
  end.size = record.U32();
  end.offset = record.U32();
  end.limit = endAt;
  const bool zip64 = end.disk == kMarker16 || end.directoryDisk == kMarker16 ||
                     end.diskCount == kMarker16 || end.count == kMarker16 ||
                     end.size == kMarker32 || end.offset == kMarker32;
  if (zip64 && !ReadZip64End(data, endAt, end)) return false;
  if (end.disk != 0 || end.directoryDisk != 0 || end.diskCount != end.count) return false;
  return end.offset <= end.limit && end.size <= end.limit - end.offset;
}

// Fills the sizes, offset and disk that a header marks as held in its zip64 extra field.
bool ReadZip64Extra(std::string_view extra, ZipEntry& entry, uint32_t& startDisk) {
  const bool needSize = entry.size == kMarker32;
  const bool needCompressed = entry.compressedSize == kMarker32;
  const bool needOffset = entry.localHeaderOffset == kMarker32;
  const bool needDisk = startDisk == kMarker16;
  if (!needSize && !needCompressed && !needOffset && !needDisk) return true;
  FieldReader fields(extra);
  while (fields.remaining() >= 4) {
    const uint16_t id = fields.U16();
    FieldReader field(fields.Bytes(fields.U16()));
    if (!fields.ok()) return false;
    if (id != kZip64ExtraId) continue;
    if (needSize) entry.size = field.U64();
    if (needCompressed) entry.compressedSize = field.U64();
    if (needOffset) entry.localHeaderOffset = field.U64();
    if (needDisk) startDisk = field.U32();
    return field.ok();
  }
  return false;
}

bool ReadCentralHeader(FieldReader& directory, ZipEntry& entry) {
  if (directory.U32() != kCentralSignature) return false;
  directory.Skip(4);  // versions made by and needed
  entry.flags = directory.U16();
  entry.method = directory.U16();
  directory.Skip(4);  // time and date
  entry.crc32 = directory.U32();
  entry.compressedSize = directory.U32();
  entry.size = directory.U32();
  const uint16_t nameLength = directory.U16();
  const uint16_t extraLength = directory.U16();
  const uint16_t commentLength = directory.U16();
  uint32_t startDisk = directory.U16();
  directory.Skip(6);  // internal and external attributes
  entry.localHeaderOffset = directory.U32();
  entry.name = std::string(directory.Bytes(nameLength));
  const std::string_view extra = directory.Bytes(extraLength);
  directory.Skip(commentLength);
  return directory.ok() && ReadZip64Extra(extra, entry, startDisk) && startDisk == 0;
}

// Each entry's local header, name and data lie before the directory and share no byte with
// another entry's: entries that overlap let a small archive inflate to many times its size.
bool EntriesApart(const std::vector<ZipEntry>& entries, uint64_t directoryOffset) {
  std::vector<const ZipEntry*> byOffset;
  byOffset.reserve(entries.size());
  for (const ZipEntry& entry : entries) byOffset.push_back(&entry);
  std::sort(byOffset.begin(), byOffset.end(), [](const ZipEntry* a, const ZipEntry* b) {
    return a->localHeaderOffset < b->localHeaderOffset;
  });
  uint64_t unused = 0;  // the first byte after the entries so far
  for (const ZipEntry* entry : byOffset) {
    if (entry->localHeaderOffset < unused || entry->localHeaderOffset > directoryOffset) {
      return false;
    }
    const uint64_t room = directoryOffset - entry->localHeaderOffset;
    const uint64_t fixed = kLocalSize + entry->name.size();
    if (room < fixed || room - fixed < entry->compressedSize) return false;
    unused = entry->localHeaderOffset + fixed + entry->compressedSize;
  }
  return true;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
           return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
         });
}

// The most an entry of that stored size may inflate to by the ratio limit.
uint64_t RatioLimit(uint64_t compressedSize, uint64_t maxRatio) {
  if (maxRatio != 0 && compressedSize > std::numeric_limits<uint64_t>::max() / maxRatio) {
    return std::numeric_limits<uint64_t>::max();
  }
  return compressedSize * maxRatio;
}

// Raw deflate data into `out`, which may grow to `expected` + 1 bytes and no further: the one
// byte more shows a stream that runs past the size the directory gives. True when the stream
// ended exactly at the end of `packed`.
bool Inflate(std::string_view packed, std::size_t expected, std::string& out) {
  constexpr std::size_t kChunk = 64 * 1024;
  constexpr std::size_t kFeed = 1u << 30;  // zlib counts in uInt
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  const std::size_t room = expected + 1;
  out.reserve(room);
  int status = Z_OK;
  while (status == Z_OK && out.size() < room) {
    if (stream.avail_in == 0 && !packed.empty()) {
      const std::size_t piece = std::min(packed.size(), kFeed);
      stream.next_in = reinterpret_cast<const Bytef*>(packed.data());
      stream.avail_in = static_cast<uInt>(piece);
      packed.remove_prefix(piece);
    }
    const std::size_t produced = out.size();
    const std::size_t grow = std::min(kChunk, room - produced);
    out.resize(produced + grow);
    stream.next_out = reinterpret_cast<Bytef*>(&out[produced]);
    stream.avail_out = static_cast<uInt>(grow);
    status = inflate(&stream, Z_NO_FLUSH);
    out.resize(produced + grow - stream.avail_out);
  }
  const bool whole = status == Z_STREAM_END && stream.avail_in == 0 && packed.empty();
  inflateEnd(&stream);
  return whole;
}

}  // namespace

bool ZipArchive::Open(const unsigned char* data, std::size_t size, const ZipLimits& limits) {
  data_ = nullptr;
  size_ = 0;
  limits_ = limits;
  entries_.clear();
  if (data == nullptr) return false;

  EndRecord end;
  if (!FindDirectory(data, size, end)) return false;
  // Each header takes its fixed part at least: a larger count cannot be true.
  if (end.count > limits.maxEntries || end.count > end.size / kCentralSize) return false;

  std::vector<ZipEntry> entries;
  entries.reserve(static_cast<std::size_t>(end.count));
  FieldReader directory(data + end.offset, static_cast<std::size_t>(end.size));
  for (uint64_t i = 0; i < end.count; ++i) {
    ZipEntry entry;
    if (!ReadCentralHeader(directory, entry)) return false;
    entries.push_back(std::move(entry));
  }
  // The count and the directory's size agree: no header is left unread.
  if (directory.remaining() != 0 || !EntriesApart(entries, end.offset)) return false;

  data_ = data;
  size_ = size;
  entries_ = std::move(entries);
  return true;
}

const ZipEntry* ZipArchive::Find(std::string_view name) const {
  if (!name.empty() && name.front() == '/') name.remove_prefix(1);
  for (const ZipEntry& entry : entries_) {
    if (EqualIgnoringAsciiCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

bool ZipArchive::Read(const ZipEntry& entry, std::string& out) const {
  out.clear();
  if (data_ == nullptr || (entry.flags & kEncryptedFlag) != 0) return false;
  if (entry.method != kStored && entry.method != kDeflated) return false;

  // The directory's own claim is held to the limits before anything is allocated.
  if (entry.size > limits_.maxEntrySize ||
      entry.size > RatioLimit(entry.compressedSize, limits_.maxRatio) ||
      entry.size >= std::numeric_limits<std::size_t>::max()) {
    return false;
  }

  // The local header must agree with the directory and leave the data inside the archive.
  if (entry.localHeaderOffset > size_) return false;
  FieldReader local(data_ + entry.localHeaderOffset, size_ - entry.localHeaderOffset);
  if (local.U32() != kLocalSignature) return false;
  local.Skip(2);  // version needed
  const uint16_t flags = local.U16();
  const uint16_t method = local.U16();
  local.Skip(16);  // time, date, CRC and sizes (the directory's are the ones that count)
  const uint16_t nameLength = local.U16();
  const uint16_t extraLength = local.U16();
  const std::string_view name = local.Bytes(nameLength);
  local.Skip(extraLength);
  const std::string_view packed = local.Bytes(entry.compressedSize);
  if (!local.ok() || name != entry.name || method != entry.method ||
      (flags & kEncryptedFlag) != 0) {
    return false;
  }

  const std::size_t size = static_cast<std::size_t>(entry.size);
  bool whole;
  if (entry.method == kStored) {
    whole = packed.size() == size;
    if (whole) out.assign(packed.data(), packed.size());
  } else {
    whole = Inflate(packed, size, out);
  }
  if (!whole || out.size() != size || Crc32Of(out) != entry.crc32) {
    std::string().swap(out);  // what a refused entry left behind may be large
    return false;
  }
  return true;
}

}  // namespace velmor
