#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

#include "common/base/text_encoding.h"
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

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

// The name in `folder` that equals `name` without regard to ASCII case (the first in byte
// order when several do); empty when there is none. Native names are UTF-8, whose bytes of
// other characters never look like ASCII letters.
std::string NameIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return std::string();
  std::string found;
  while (const dirent* item = ::readdir(listing)) {
    std::string_view candidate(item->d_name);
    if (SameIgnoringAsciiCase(candidate, name) && (found.empty() || candidate < found)) {
      found = std::string(candidate);
    }
  }
  ::closedir(listing);
  return found;
}

// The native path as a Windows file system finds it, so that a candidate's 作业/说明.TXT is the
// target 作业\说明.txt here as it is there: a component that does not exist as written is
// matched among its folder's names without regard to ASCII case. Components after one that
// cannot be found stay as written.
std::string Placed(const std::string& native) {
  struct stat status{};
  if (native.empty() || ::lstat(native.c_str(), &status) == 0 || errno != ENOENT) return native;
  std::string placed = native[0] == '/' ? "/" : "";
  bool missing = false;
  std::size_t start = 0;
  while (start < native.size()) {
    std::size_t slash = native.find('/', start);
    if (slash == std::string::npos) slash = native.size();
    std::string part = native.substr(start, slash - start);
    start = slash + 1;
    if (part.empty()) continue;
    const std::string folder = placed.empty() ? "." : placed;
    if (!placed.empty() && placed.back() != '/') placed += '/';
    if (!missing && part != "." && part != ".." &&
        ::lstat((placed + part).c_str(), &status) != 0 && errno == ENOENT) {
      std::string match = NameIgnoringCase(folder, part);
      if (match.empty()) {
        missing = true;
      } else {
        part = match;
      }
    }
    placed += part;
  }
  if (native.back() == '/' && placed.back() != '/') placed += '/';
  return placed;
}

// The native spelling of a path in the bank's terms, found as Windows finds names.
bool PlacedPath(const std::string& model, std::string* native) {
  if (!NativePath(model, native)) return false;
  *native = Placed(*native);
  return true;
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
    if (!PlacedPath(folder, &native)) return false;
    DIR* listing = ::opendir(native.c_str());
    if (!listing) return false;
    while (dirent* item = ::readdir(listing)) {
      std::string name = item->d_name, gbk;
      if (name == "." || name == ".." || !Utf8ToGbk(name, &gbk)) continue;
      struct stat status{};
      const bool known = ::lstat((native + "/" + name).c_str(), &status) == 0;
      items.push_back(FolderItem{gbk, known && S_ISDIR(status.st_mode), known && S_ISLNK(status.st_mode)});
    }
    ::closedir(listing);
    return true;
  }

  ReadResult ReadSharedFile(const std::string& path, std::vector<unsigned char>& bytes,
                            uint64_t limit) override {
    std::string native;
    if (!NativePath(path, &native)) return ReadResult::kCannotOpen;
    // Opened without waiting, so that a pipe put where a target belongs cannot hold us up,
    // and read only when it is a plain file. A name not found as written is looked for as
    // Windows finds names.
    int opened = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0 && errno == ENOENT) {
      native = Placed(native);
      opened = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    Descriptor file(opened);
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
    if (PlacedPath(path, &native)) ::mkdir(native.c_str(), 0777);
  }

  bool WriteWholeFile(const std::string& path, const unsigned char* bytes,
                      std::size_t size) override {
    std::string native;
    if (!PlacedPath(path, &native)) return false;
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

  // The target must begin with the folder's text, as the unpack and candidate paths do.
  bool PassesLinkBelow(const std::string& folder, const std::string& target) override {
    std::string current, rest;
    if (target.size() <= folder.size() || target.compare(0, folder.size(), folder) != 0 ||
        !NativePath(folder, &current) || !NativePath(target.substr(folder.size()), &rest)) {
      return true;
    }
    std::size_t start = 0;
    while (start < rest.size()) {
      std::size_t slash = rest.find('/', start);
      if (slash == std::string::npos) slash = rest.size();
      const std::string part = rest.substr(start, slash - start);
      start = slash + 1;
      if (part.empty()) continue;
      std::string next = current + "/" + part;
      struct stat status{};
      if (::lstat(next.c_str(), &status) != 0) {
        const std::string match = errno == ENOENT ? NameIgnoringCase(current, part) : "";
        if (match.empty()) return false;
        next = current + "/" + match;
        if (::lstat(next.c_str(), &status) != 0) return false;
      }
      if (S_ISLNK(status.st_mode)) return true;
      current = std::move(next);
    }
    return false;
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
