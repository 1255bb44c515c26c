// Sequential byte sources and sinks that the file formats read from and write to.
//
// A format reader never sees a file handle or a raw buffer: it asks a ByteSource for exactly
// the bytes of the next record, and a short read is the end of the story for that record.
// Sizes read from a file are checked against remaining() before anything is allocated, so a
// damaged count can never make a reader allocate more than the rest of the input holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmor {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Copies up to `size` bytes into `target`; returns true only when all of them were there.
  // On a short read the bytes that were there are still copied.
  virtual bool Read(void* target, std::size_t size) = 0;

  // Bytes left between the current position and the end of the input.
  virtual uint64_t remaining() const = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;

  // Appends `size` bytes; returns false when they could not all be written.
  virtual bool Write(const void* source, std::size_t size) = 0;
};

// Reads from a buffer that the caller keeps alive.
class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, std::size_t size)
      : data_(static_cast<const unsigned char*>(data)), size_(size) {}

  bool Read(void* target, std::size_t size) override;
  uint64_t remaining() const override { return size_ - position_; }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Collects everything written into a vector.
class MemorySink : public ByteSink {
 public:
  bool Write(const void* source, std::size_t size) override;
  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

}  // namespace velmor
