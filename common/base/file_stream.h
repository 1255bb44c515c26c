// Buffered file reading and safe file writing for the bank formats.
//
// Records are small and many, content blocks few and large: small reads and writes go
// through one buffer, large ones straight to the file, so a whole bank moves in a handful of
// system calls and no byte is copied twice.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/base/byte_stream.h"
#include "common/base/platform_file.h"

namespace velmor {

// Reads an existing file from its start. The file is opened with read and write access, so
// a file marked read-only cannot be read this way (the bank formats want it so).
class FileSource : public ByteSource {
 public:
  bool Open(const std::string& path);
  bool Read(void* target, std::size_t size) override;
  uint64_t remaining() const override;

 private:
  bool Refill();

  PlatformFile file_;
  uint64_t fileSize_ = 0;
  uint64_t consumed_ = 0;  // bytes handed out so far
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t bufferStart_ = 0;
  std::size_t bufferEnd_ = 0;
};

// Writes a new version of a file without ever damaging the old one: the bytes go to a
// temporary file in the same folder, which replaces the target only when every byte was
// written and flushed. Until Commit succeeds the target is untouched; a writer destroyed
// without a successful Commit removes its temporary file.
class SafeFileWriter : public ByteSink {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter() override;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Fails when the target is marked read-only, is a folder, or no temporary file can be
  // made beside it.
  bool Begin(const std::string& target);
  bool Write(const void* source, std::size_t size) override;
  bool Commit();

  const std::string& temporaryPath() const { return temporaryPath_; }

 private:
  bool FlushBuffer();
  void Abandon();

  PlatformFile file_;
  std::string target_;
  std::string temporaryPath_;
  std::unique_ptr<unsigned char[]> buffer_;
  std::size_t buffered_ = 0;
  bool failed_ = false;
};

}  // namespace velmor
