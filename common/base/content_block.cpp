#include "common/base/content_block.h"

#include <cstring>

#include "common/base/byte_order.h"

namespace velmor {

ContentBlock ContentBlock::Allocate(std::size_t size) {
  ContentBlock block;
  if (size > 0) block.bytes_.reset(new unsigned char[size]);
  block.size_ = size;
  return block;
}

ContentBlock ContentBlock::FromBytes(const void* bytes, std::size_t size) {
  ContentBlock block = Allocate(size);
  if (size > 0) std::memcpy(block.bytes_.get(), bytes, size);
  return block;
}

ContentBlock ContentBlock::WithPayload(const void* payload, std::size_t payloadSize) {
  ContentBlock block = Allocate(kLengthWordSize + payloadSize);
  WriteLe32(block.bytes_.get(), static_cast<int32_t>(block.size_));
  if (payloadSize > 0) std::memcpy(block.bytes_.get() + kLengthWordSize, payload, payloadSize);
  return block;
}

int64_t ContentBlock::lengthWord() const {
  if (size_ < kLengthWordSize) return -1;
  return ReadLe32(bytes_.get());
}

bool ContentBlock::IsWellFormed() const {
  return size_ >= kLengthWordSize && static_cast<uint64_t>(size_) <= INT32_MAX &&
         lengthWord() == static_cast<int64_t>(size_);
}

bool operator==(const ContentBlock& a, const ContentBlock& b) {
  return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data(), b.data(), a.size_) == 0);
}

}  // namespace velmor
