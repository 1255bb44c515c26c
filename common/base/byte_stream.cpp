#include "common/base/byte_stream.h"

#include <cstring>

namespace velmor {

bool MemorySource::Read(void* target, std::size_t size) {
  std::size_t available = size_ - position_;
  std::size_t count = size < available ? size : available;
  if (count > 0) std::memcpy(target, data_ + position_, count);
  position_ += count;
  return count == size;
}

bool MemorySink::Write(const void* source, std::size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(source);
  bytes_.insert(bytes_.end(), bytes, bytes + size);
  return true;
}

}  // namespace velmor
