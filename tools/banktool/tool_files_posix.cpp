#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "tools/banktool/text_encoding.h"
#include "tools/banktool/tool_files.h"

namespace velmor {

namespace {

// Transfers go in pieces no larger than this.
constexpr std::size_t kMaxTransfer = 16u << 20;

// The native spelling of a path in the bank's terms; false when the bytes are not GBK.
bool NativePath(const std::string& model, std::string* native) {
  if (!GbkToUtf8Strict(model, native)) return false;
  // Converted first: a GBK trail byte may be 0x5C, a backslash only in UTF-8.
  for (char& c : *native) {
    if (c == '\\') c = '/';
  }
  return !native->empty();
}

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

// The absolute path with "." and ".." and doubled slashes taken out, symbolic links left as
// they are, as Windows resolves a path; empty when the working folder cannot be told.
std::string Resolved(const std::string& path) {
  std::string absolute = path;
  if (absolute.empty() || absolute[0] != '/') {
    std::vector<char> buffer(4096);
    if (!::getcwd(buffer.data(), buffer.size())) return std::string();
    absolute = std::string(buffer.data()) + "/" + path;
  }
  std::vector<std::string_view> parts;
  std::string_view rest(absolute);
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string resolved;
  for (std::string_view part : parts) {
    resolved += '/';
    resolved.append(part.data(), part.size());
  }
  return resolved.empty() ? std::string("/") : resolved;
}

class PosixToolFiles : public FileAccess {
 public:
  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    std::string native;
    if (!NativePath(folder, &native)) return false;
    DIR* listing = ::opendir(native.c_str());
    if (!listing) return false;
    while (dirent* item = ::readdir(listing)) {
      std::string name = item->d_name, gbk;
      if (name == "." || name == ".." || !Utf8ToGbk(name, &gbk)) continue;
      struct stat status{};
      bool isFolder = ::stat((native + "/" + name).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
      items.push_back(FolderItem{gbk, isFolder});
    }
    ::closedir(listing);
    return true;
  }

  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override {
    std::string native;
    if (!NativePath(path, &native)) return ReadResult::kCannotOpen;
    // Opened without waiting, so that a pipe put where a target belongs cannot hold us up,
    // and read only when it is a plain file.
    Descriptor file(::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status{};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
      return ReadResult::kCannotOpen;
    }
    if (status.st_size < 0 || static_cast<uint64_t>(status.st_size) > limit) {
      return ReadResult::kTooLarge;
    }
    const std::size_t start = bytes.size();
    const std::size_t wanted = static_cast<std::size_t>(status.st_size);
    bytes.resize(start + wanted);
    std::size_t done = 0;
    while (done < wanted) {
      std::size_t piece = wanted - done < kMaxTransfer ? wanted - done : kMaxTransfer;
      ssize_t count = ::read(file.get(), bytes.data() + start + done, piece);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      done += static_cast<std::size_t>(count);
    }
    bytes.resize(start + done);
    return done == wanted ? ReadResult::kComplete : ReadResult::kPartial;
  }

  void CreateFolder(const std::string& path) override {
    std::string native;
    if (NativePath(path, &native)) ::mkdir(native.c_str(), 0777);
  }

  bool WriteWholeFile(const std::string& path, const unsigned char* bytes,
                      std::size_t size) override {
    std::string native;
    if (!NativePath(path, &native)) return false;
    // A file without write permission is refused even for a privileged user, as Windows
    // refuses one marked read-only; a symbolic link in the file's place is not followed.
    struct stat status{};
    if (::lstat(native.c_str(), &status) == 0 &&
        (!S_ISREG(status.st_mode) || (status.st_mode & 0222) == 0)) {
      return false;
    }
    Descriptor file(
        ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.get() < 0) return false;
    std::size_t done = 0;
    while (done < size) {
      std::size_t piece = size - done < kMaxTransfer ? size - done : kMaxTransfer;
      ssize_t count = ::write(file.get(), bytes + done, piece);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return false;
      done += static_cast<std::size_t>(count);
    }
    return true;
  }

  // Native names are told apart by case, so the comparison is exact.
  bool LiesBelow(const std::string& folder, const std::string& target) override {
    std::string nativeFolder, nativeTarget;
    if (!NativePath(folder, &nativeFolder) || !NativePath(target, &nativeTarget)) return false;
    std::string resolvedFolder = Resolved(nativeFolder);
    std::string resolvedTarget = Resolved(nativeTarget);
    if (resolvedFolder.empty() || resolvedTarget.empty()) return false;
    if (resolvedFolder.back() != '/') resolvedFolder += '/';
    return resolvedTarget.size() > resolvedFolder.size() &&
           resolvedTarget.compare(0, resolvedFolder.size(), resolvedFolder) == 0;
  }

  bool ConvertToGbk(UnicodeText encoding, const unsigned char* bytes, std::size_t size,
                    std::string& gbk) override {
    return IconvToGbk(encoding, bytes, size, gbk);
  }
};

}  // namespace

std::unique_ptr<FileAccess> MakeToolFileAccess() { return std::make_unique<PosixToolFiles>(); }

bool ModelPathOf(const std::string& native, std::string* model) {
  std::string slashes = native;
  for (char& c : slashes) {
    if (c == '\\') return false;  // a native name holding a backslash cannot be told apart
    if (c == '/') c = '\\';
  }
  return Utf8ToGbk(slashes, model);
}

bool NamesLocalPlace(const std::string& model) {
  const bool driveLetter = model.size() >= 2 && model[1] == ':';
  const bool network = model.size() >= 2 && model[0] == '\\' && model[1] == '\\';
  return !driveLetter && !network;
}

std::string NativeTextToUtf8(const std::string& native) { return native; }

}  // namespace velmor
