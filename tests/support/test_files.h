// Files and byte images for tests: a private temporary folder, whole-file reads and writes,
// the read-only mark, and a builder for byte images written by hand from the layout tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmor::test {

using Bytes = std::vector<unsigned char>;

// A fresh folder that is removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // `name` inside the folder.
  std::string File(std::string_view name) const;

 private:
  std::string path_;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);
// The same in the order the file system lists them (for ASCII names).
std::vector<std::string> ListFolderAsListed(const std::string& path);
// Makes a folder and the folders above it.
void MakeFolder(const std::string& path);

void SetReadOnly(const std::string& path, bool readOnly);

// Makes `link` a symbolic link to `target` (keep both inside one TempDir). Under Wine, whose
// CreateSymbolicLink does nothing, the Unix tool makes it; Wine then shows a link to a folder
// as a reparse point and follows a link to a file as if it were the file. False when no link
// could be made.
bool MakeLink(const std::string& target, const std::string& link);

// Builds a byte image field by field.
class ByteImage {
 public:
  ByteImage& Int32(int32_t value);
  ByteImage& Raw(std::string_view bytes);
  ByteImage& Raw(const Bytes& bytes);
  ByteImage& Zeros(std::size_t count);
  // A fixed field: the text, then zero bytes up to `size`.
  ByteImage& Field(std::string_view text, std::size_t size);

  const Bytes& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  Bytes bytes_;
};

// The folder of the source tree (for the fuzzing corpus and the examples).
std::string SourcePath(std::string_view relative);

}  // namespace velmor::test
