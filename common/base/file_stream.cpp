#include "common/base/file_stream.h"

#include <atomic>
#include <cstring>

namespace velmor {

namespace {

constexpr std::size_t kBufferSize = 1u << 20;

}  // namespace

bool FileSource::Open(const std::string& path) {
  if (!file_.OpenExistingForUpdate(path)) return false;
  int64_t size = file_.Size();
  if (size < 0) {
    file_.Close();
    return false;
  }
  fileSize_ = static_cast<uint64_t>(size);
  consumed_ = 0;
  buffer_.reset(new unsigned char[kBufferSize]);
  bufferStart_ = bufferEnd_ = 0;
  return true;
}

uint64_t FileSource::remaining() const {
  return consumed_ < fileSize_ ? fileSize_ - consumed_ : 0;
}

bool FileSource::Refill() {
  bufferStart_ = 0;
  bufferEnd_ = file_.ReadSome(buffer_.get(), kBufferSize);
  return bufferEnd_ > 0;
}

bool FileSource::Read(void* target, std::size_t size) {
  if (!file_.is_open()) return false;
  unsigned char* out = static_cast<unsigned char*>(target);
  while (size > 0) {
    std::size_t buffered = bufferEnd_ - bufferStart_;
    if (buffered > 0) {
      std::size_t count = size < buffered ? size : buffered;
      std::memcpy(out, buffer_.get() + bufferStart_, count);
      bufferStart_ += count;
      out += count;
      size -= count;
      consumed_ += count;
    } else if (size >= kBufferSize) {
      std::size_t count = file_.ReadSome(out, size);
      if (count == 0) return false;
      out += count;
      size -= count;
      consumed_ += count;
    } else if (!Refill()) {
      return false;
    }
  }
  return true;
}

SafeFileWriter::~SafeFileWriter() { Abandon(); }

bool SafeFileWriter::Begin(const std::string& target) {
  Abandon();
  if (target.empty() || IsMarkedReadOnly(target) || IsFolder(target)) return false;
  // Several writers may be busy in one process (and several processes in one folder).
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = target + ".~" + std::to_string(serial++) + ".tmp";
    if (file_.CreateNew(candidate)) {
      target_ = target;
      temporaryPath_ = candidate;
      buffer_.reset(new unsigned char[kBufferSize]);
      buffered_ = 0;
      failed_ = false;
      return true;
    }
  }
  return false;
}

bool SafeFileWriter::FlushBuffer() {
  if (buffered_ == 0) return true;
  bool written = file_.WriteAll(buffer_.get(), buffered_);
  buffered_ = 0;
  return written;
}

bool SafeFileWriter::Write(const void* source, std::size_t size) {
  if (!file_.is_open() || failed_) return false;
  if (size >= kBufferSize - buffered_) {
    if (!FlushBuffer()) return !(failed_ = true);
    if (size >= kBufferSize) {
      if (!file_.WriteAll(source, size)) return !(failed_ = true);
      return true;
    }
  }
  std::memcpy(buffer_.get() + buffered_, source, size);
  buffered_ += size;
  return true;
}

bool SafeFileWriter::Commit() {
  if (!file_.is_open() || failed_) {
    Abandon();
    return false;
  }
  bool complete = FlushBuffer() && file_.FlushToDisk();
  file_.Close();
  if (!complete || !ReplaceFileWith(temporaryPath_, target_)) {
    Abandon();
    return false;
  }
  temporaryPath_.clear();
  target_.clear();
  return true;
}

void SafeFileWriter::Abandon() {
  file_.Close();
  if (!temporaryPath_.empty()) RemoveFile(temporaryPath_);
  temporaryPath_.clear();
  target_.clear();
  buffered_ = 0;
}

}  // namespace velmor
