// Fixed-size records of the file formats, read and written by their named fields.
//
// A record type lists its fields once, in file order, in a member template `Fields(io)`; the
// same list reads the record and writes it, so reader and writer cannot disagree on an
// offset. Fields are visited through a cursor bounded by the record's size: a field that
// would reach past the record is neither read nor written, and the record fails as a whole.
//
//   struct QuestionHead {
//     static constexpr std::size_t kSize = 8;
//     int32_t id = 0, count = 0;
//     template <typename Io> void Fields(Io& io) { io(id); io(count); }
//   };
//   QuestionHead head;
//   if (!ReadRecord(source, head)) ...;   WriteRecord(sink, head);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/base/byte_order.h"
#include "common/base/byte_stream.h"

namespace velmor {

namespace record {

// The place of the next field in a record of `size` bytes; a field that would not fit stops
// the cursor for good.
class Cursor {
 public:
  explicit Cursor(std::size_t size) : size_(size) {}

  // Every field was there and the fields filled the record exactly.
  bool complete() const { return !overrun_ && position_ == size_; }

 protected:
  // The offset of a field of `size` bytes, or nothing when it would reach past the record.
  bool Take(std::size_t size, std::size_t* offset) {
    if (overrun_ || size > size_ - position_) {
      overrun_ = true;
      return false;
    }
    *offset = position_;
    position_ += size;
    return true;
  }

 private:
  std::size_t size_;
  std::size_t position_ = 0;
  bool overrun_ = false;
};

// Hands out the fields of a record's bytes in order.
class Reader : public Cursor {
 public:
  Reader(const unsigned char* bytes, std::size_t size) : Cursor(size), bytes_(bytes) {}

  void operator()(int32_t& field) {
    std::size_t at;
    if (Take(4, &at)) field = ReadLe32(bytes_ + at);
  }
  template <typename Byte, std::size_t N>
  void operator()(std::array<Byte, N>& field) {
    static_assert(sizeof(Byte) == 1, "a field of bytes");
    std::size_t at;
    if (Take(N, &at)) std::memcpy(field.data(), bytes_ + at, N);
  }

 private:
  const unsigned char* bytes_;
};

// Lays the fields of a record into its bytes in order.
class Writer : public Cursor {
 public:
  Writer(unsigned char* bytes, std::size_t size) : Cursor(size), bytes_(bytes) {}

  void operator()(const int32_t& field) {
    std::size_t at;
    if (Take(4, &at)) WriteLe32(bytes_ + at, field);
  }
  template <typename Byte, std::size_t N>
  void operator()(const std::array<Byte, N>& field) {
    static_assert(sizeof(Byte) == 1, "a field of bytes");
    std::size_t at;
    if (Take(N, &at)) std::memcpy(bytes_ + at, field.data(), N);
  }

 private:
  unsigned char* bytes_;
};

}  // namespace record

// Reads the next `Record::kSize` bytes of `source` into the record's fields; false on a short
// read or when the fields do not fill the record exactly.
template <typename Record>
bool ReadRecord(ByteSource& source, Record& value) {
  std::array<unsigned char, Record::kSize> bytes;
  if (!source.Read(bytes.data(), bytes.size())) return false;
  record::Reader reader(bytes.data(), bytes.size());
  value.Fields(reader);
  return reader.complete();
}

// Writes the record's fields as its `Record::kSize` bytes. (The one field list takes its
// fields by reference for reading; the writer only reads them.)
template <typename Record>
bool WriteRecord(ByteSink& sink, const Record& value) {
  std::array<unsigned char, Record::kSize> bytes{};
  record::Writer writer(bytes.data(), bytes.size());
  const_cast<Record&>(value).Fields(writer);
  return writer.complete() && sink.Write(bytes.data(), bytes.size());
}

// The same for a record inside a buffer: the record at `data`, of which `available` bytes are
// there; false when it is not all there or its fields do not fill it exactly.
template <typename Record>
bool ReadRecordAt(const unsigned char* data, std::size_t available, Record& value) {
  if (available < Record::kSize) return false;
  record::Reader reader(data, Record::kSize);
  value.Fields(reader);
  return reader.complete();
}

// Lays the record's fields into the `Record::kSize` bytes at `out`.
template <typename Record>
bool WriteRecordAt(unsigned char* out, const Record& value) {
  record::Writer writer(out, Record::kSize);
  const_cast<Record&>(value).Fields(writer);
  return writer.complete();
}

}  // namespace velmor
