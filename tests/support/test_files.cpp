#include "tests/support/test_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmor::test {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

// Links made by the Unix tool: Wine's RemoveDirectory cannot take them away.
std::vector<std::string>& LinksMade() {
  static std::vector<std::string> links;
  return links;
}

// The Unix spelling of a path under Wine; empty elsewhere.
std::string UnixPath(const std::string& path) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return std::string();
  std::wstring wide(path.size() + 1, L'\0');
  int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  if (length <= 0) return std::string();
  char* name = unixName(wide.c_str());
  if (!name) return std::string();
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Starts a Unix tool on Unix paths (UTF-8) and waits until `done` holds: Wine cannot wait
// for a Unix process.
template <typename Done>
bool RunUnixTool(const std::string& tool, const std::vector<std::string>& arguments, Done done) {
  std::string utf8 = tool;
  for (const std::string& argument : arguments) utf8 += " \"" + argument + "\"";
  std::wstring line(utf8.size() + 1, L'\0');
  if (MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &line[0], static_cast<int>(line.size())) <= 0) {
    return false;
  }
  const std::wstring program = L"Z:" + std::wstring(tool.begin(), tool.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int wait = 0; wait < 500 && !done(); ++wait) Sleep(10);
  return done();
}

}  // namespace
#endif

TempDir::TempDir() {
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() / ("velmor-test-" + std::to_string(entropy()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code error;
#ifdef _WIN32
  auto& links = LinksMade();
  const std::string inside = path_ + "\\";
  auto mine = [&](const std::string& link) { return link.compare(0, inside.size(), inside) == 0; };
  if (std::any_of(links.begin(), links.end(), mine)) {
    links.erase(std::remove_if(links.begin(), links.end(), mine), links.end());
    const std::string folder = path_;
    if (RunUnixTool("/bin/rm", {"-rf", UnixPath(folder)},
                    [&] { return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES; })) {
      return;
    }
  }
#endif
  // Read-only files left by a test must not keep the folder alive.
  for (auto& entry : fs::recursive_directory_iterator(path_, error)) {
    if (entry.is_regular_file(error)) SetReadOnly(entry.path().string(), false);
  }
  fs::remove_all(path_, error);
}

std::string TempDir::File(std::string_view name) const {
  // Joined as bytes: a path object would re-encode a GBK name on Windows.
#ifdef _WIN32
  return path_ + "\\" + std::string(name);
#else
  return path_ + "/" + std::string(name);
#endif
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

std::vector<std::string> ListFolderAsListed(const std::string& path) {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
  return names;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names = ListFolderAsListed(path);
  std::sort(names.begin(), names.end());
  return names;
}

void MakeFolder(const std::string& path) {
#ifdef _WIN32
  // Component by component with the ...A calls: a path object would re-encode a GBK name.
  for (std::size_t end = path.find_first_of("\\/", 3); ; end = path.find_first_of("\\/", end + 1)) {
    const std::string folder = path.substr(0, end);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      throw std::runtime_error("cannot make " + folder);
    }
    if (end == std::string::npos) break;
  }
#else
  std::error_code error;
  fs::create_directories(path, error);
  if (error) throw std::runtime_error("cannot make " + path);
#endif
}

bool MakeLink(const std::string& target, const std::string& link) {
#ifdef _WIN32
  const std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
  if (unixTarget.empty() || unixLink.empty()) return false;
  LinksMade().push_back(link);
  return RunUnixTool("/bin/ln", {"-s", unixTarget, unixLink},
                     [&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
#else
  return ::symlink(target.c_str(), link.c_str()) == 0;
#endif
}

void SetReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                        : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  SetFileAttributesA(path.c_str(), attributes);
#else
  chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

ByteImage& ByteImage::Int32(int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  return *this;
}

ByteImage& ByteImage::Raw(std::string_view bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

ByteImage& ByteImage::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

ByteImage& ByteImage::Zeros(std::size_t count) {
  bytes_.insert(bytes_.end(), count, 0);
  return *this;
}

ByteImage& ByteImage::Field(std::string_view text, std::size_t size) {
  if (text.size() > size) throw std::logic_error("text does not fit its field");
  Raw(text);
  return Zeros(size - text.size());
}

std::string SourcePath(std::string_view relative) {
  return std::string(VELMOR_SOURCE_DIR) + "/" + std::string(relative);
}

}  // namespace velmor::test
