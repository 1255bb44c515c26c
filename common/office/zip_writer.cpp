#include "common/office/zip_archive.h"

#include <algorithm>

#include "common/base/text_encoding.h"
#include "common/office/zip_layout.h"

namespace velmor {

namespace {

using namespace zip;

constexpr uint16_t kVersionNeeded = 20;  // deflate, folders; made by MS-DOS (upper byte 0)
// Every entry carries 1980-01-01 00:00, the first day the format can express, so that the
// same entries always make the same bytes.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
// The most that the 32-bit and 16-bit fields hold without meaning "see zip64".
constexpr uint64_t kMax32 = kMarker32 - 1;
constexpr std::size_t kMaxEntries = kMarker16 - 1;

void Put16(std::vector<unsigned char>& bytes, uint32_t value) {
  bytes.push_back(static_cast<unsigned char>(value));
  bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}

void PutBytes(std::vector<unsigned char>& bytes, std::string_view data) {
  bytes.insert(bytes.end(), data.begin(), data.end());
}

// A name is marked as UTF-8 only when it is UTF-8 beyond ASCII; GBK and ASCII names are left
// unmarked, as Windows tools expect names in the local code page.
uint16_t NameFlags(std::string_view name) {
  bool multiByte = false;
  const bool utf8 =
      IsValidUtf8(reinterpret_cast<const unsigned char*>(name.data()), name.size(), &multiByte);
  return utf8 && multiByte ? kUtf8NameFlag : 0;
}

// Raw deflate of `content` into `packed`; false when it does not come out smaller, and the
// entry is better stored. The output room stops at one byte less than the content.
bool DeflateSmaller(std::string_view content, std::string& packed) {
  constexpr std::size_t kFeed = 1u << 30;  // zlib counts in uInt
  if (content.empty()) return false;
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    return false;
  }
  packed.resize(content.size() - 1);
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  int status = Z_OK;
  while (status == Z_OK && stream.avail_out > 0) {
    if (stream.avail_in == 0 && !content.empty()) {
      const std::size_t piece = std::min(content.size(), kFeed);
      stream.next_in = reinterpret_cast<const Bytef*>(content.data());
      stream.avail_in = static_cast<uInt>(piece);
      content.remove_prefix(piece);
    }
    status = deflate(&stream, content.empty() ? Z_FINISH : Z_NO_FLUSH);
  }
  const bool smaller = status == Z_STREAM_END;
  packed.resize(smaller ? stream.total_out : 0);
  deflateEnd(&stream);
  return smaller;
}

}  // namespace

bool ZipWriter::Add(std::string_view name, std::string_view content, Method method) {
  if (name.size() > 0xFFFF || written_.size() >= kMaxEntries || content.size() > kMax32) {
    return false;
  }
  std::string packed;
  const bool deflated = method == Method::kDeflated && DeflateSmaller(content, packed);
  const std::string_view data = deflated ? std::string_view(packed) : content;

  // The directory that Finish appends must still start and end within 32-bit offsets.
  const uint64_t offset = bytes_.size();
  const uint64_t dataEnd = offset + kLocalSize + name.size() + data.size();
  const uint64_t directorySize = directorySize_ + kCentralSize + name.size();
  if (dataEnd + directorySize > kMax32) return false;

  Written entry{std::string(name), deflated ? kDeflated : kStored, Crc32Of(content),
                static_cast<uint32_t>(data.size()), static_cast<uint32_t>(content.size()),
                static_cast<uint32_t>(offset)};
  Put32(bytes_, kLocalSignature);
  Put16(bytes_, kVersionNeeded);
  Put16(bytes_, NameFlags(name));
  Put16(bytes_, entry.method);
  Put16(bytes_, kDosTime);
  Put16(bytes_, kDosDate);
  Put32(bytes_, entry.crc32);
  Put32(bytes_, entry.compressedSize);
  Put32(bytes_, entry.size);
  Put16(bytes_, static_cast<uint32_t>(name.size()));
  Put16(bytes_, 0);  // no extra field
  PutBytes(bytes_, name);
  PutBytes(bytes_, data);
  written_.push_back(std::move(entry));
  directorySize_ = directorySize;
  return true;
}

std::vector<unsigned char> ZipWriter::Finish() {
  std::vector<unsigned char> archive = std::move(bytes_);
  const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
  for (const Written& entry : written_) {
    Put32(archive, kCentralSignature);
    Put16(archive, kVersionNeeded);  // made by
    Put16(archive, kVersionNeeded);
    Put16(archive, NameFlags(entry.name));
    Put16(archive, entry.method);
    Put16(archive, kDosTime);
    Put16(archive, kDosDate);
    Put32(archive, entry.crc32);
    Put32(archive, entry.compressedSize);
    Put32(archive, entry.size);
    Put16(archive, static_cast<uint32_t>(entry.name.size()));
    Put16(archive, 0);  // extra field
    Put16(archive, 0);  // comment
    Put16(archive, 0);  // disk
    Put16(archive, 0);  // internal attributes
    Put32(archive, 0);  // external attributes
    Put32(archive, entry.offset);
    PutBytes(archive, entry.name);
  }
  const uint32_t directorySize = static_cast<uint32_t>(archive.size() - directoryOffset);
  Put32(archive, kEndSignature);
  Put16(archive, 0);  // this disk
  Put16(archive, 0);  // the directory's disk
  Put16(archive, static_cast<uint32_t>(written_.size()));  // entries on this disk
  Put16(archive, static_cast<uint32_t>(written_.size()));
  Put32(archive, directorySize);
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // comment

  bytes_.clear();
  written_.clear();
  directorySize_ = 0;
  return archive;
}

}  // namespace velmor
