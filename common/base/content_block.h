// An owned, self-sized content block: a single heap block whose first four bytes hold its
// total length (little-endian, the four bytes included). Rich-text content travels in this
// form between the rich-text control, the document models and the files; the models look
// only at the length word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace velmor {

class ContentBlock {
 public:
  static constexpr std::size_t kLengthWordSize = 4;

  ContentBlock() = default;
  // A moved-from block is empty.
  ContentBlock(ContentBlock&& other) noexcept
      : bytes_(std::move(other.bytes_)), size_(other.size_) {
    other.size_ = 0;
  }
  ContentBlock& operator=(ContentBlock&& other) noexcept {
    if (this == &other) return *this;
    bytes_ = std::move(other.bytes_);
    size_ = other.size_;
    other.size_ = 0;
    return *this;
  }

  // A block of `size` bytes whose bytes are not yet filled; the caller fills them.
  static ContentBlock Allocate(std::size_t size);

  // A copy of `size` bytes. The result is not checked; see IsWellFormed.
  static ContentBlock FromBytes(const void* bytes, std::size_t size);

  // A well-formed block holding the length word followed by `payload`.
  static ContentBlock WithPayload(const void* payload, std::size_t payloadSize);

  ContentBlock Clone() const { return FromBytes(data(), size_); }

  const unsigned char* data() const { return bytes_.get(); }
  unsigned char* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // The length word, or -1 when the block is too short to hold one.
  int64_t lengthWord() const;

  // True when the block holds at least its length word and the word equals the block's size.
  bool IsWellFormed() const;

  friend bool operator==(const ContentBlock& a, const ContentBlock& b);
  friend bool operator!=(const ContentBlock& a, const ContentBlock& b) { return !(a == b); }

 private:
  std::unique_ptr<unsigned char[]> bytes_;
  std::size_t size_ = 0;
};

}  // namespace velmor
