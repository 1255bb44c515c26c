#include "oblen/model/packing.h"

#include <new>
#include <utility>

#include "common/base/gbk.h"
#include "oblen/model/package_format.h"

namespace velmor {

namespace {

constexpr uint64_t kMaxDataSize = INT32_MAX;
constexpr std::size_t kMaxRelativePath = PackageEntry::kPathSize - 1;

class PackageBuilder {
 public:
  explicit PackageBuilder(FileAccess& files) : files_(files) {}

  // False when the package grew beyond its size limit.
  bool Walk(const std::string& folder, const std::string& relativePath) {
    if (!AddHead(PackageEntry::kFolderKind, relativePath)) return false;
    std::vector<FileAccess::FolderItem> items;
    if (!files_.ListFolder(folder, items)) return true;
    for (const FileAccess::FolderItem& item : items) {
      // A link leads out of the folder being packed (and may lead back into it, round and
      // round): it is left out, never packed as the file or folder it leads to.
      if (item.name.empty() || item.name == "." || item.name == ".." || item.isLink) continue;
      std::string itemRelative = relativePath + "\\" + item.name;
      // A cut path would unpack under another name, or collide with a sibling.
      if (itemRelative.size() > kMaxRelativePath) continue;
      std::string itemPath = folder + "\\" + item.name;
      if (item.isFolder) {
        if (!Walk(itemPath, itemRelative)) return false;
      } else if (!AddFile(itemPath, itemRelative)) {
        return false;
      }
    }
    return true;
  }

  std::vector<unsigned char>& data() { return data_; }
  int32_t entryCount() const { return entryCount_; }

 private:
  bool AddHead(unsigned char kind, const std::string& relativePath) {
    if (data_.size() + PackageEntry::kHeadSize > kMaxDataSize) return false;
    AppendEntryHead(data_, kind, relativePath, 0);
    ++entryCount_;
    return true;
  }

  bool AddFile(const std::string& path, const std::string& relativePath) {
    if (!AddHead(PackageEntry::kFileKind, relativePath)) return false;
    const std::size_t contentStart = data_.size();
    FileAccess::ReadResult result =
        files_.ReadSharedFile(path, data_, kMaxDataSize - contentStart);
    if (result == FileAccess::ReadResult::kTooLarge) return false;
    // Whatever was read stays, and the entry's size says how much that was.
    SetEntrySize(data_, contentStart - PackageEntry::kHeadSize,
                 static_cast<int32_t>(data_.size() - contentStart));
    return true;
  }

  FileAccess& files_;
  std::vector<unsigned char> data_;
  int32_t entryCount_ = 0;
};

void CreateFolderWithAncestors(FileAccess& files, const std::string& target) {
  for (std::size_t separator : SeparatorPositions(target)) {
    if (separator > 0) files.CreateFolder(target.substr(0, separator));
  }
  files.CreateFolder(target);
}

}  // namespace

bool BuildPackage(FileAccess& files, const std::string& sourceFolder,
                  const std::string& unpackFolder, int32_t questionId, FilePackage& package) {
  // An empty folder text would make the walk list the root of the current drive.
  if (sourceFolder.empty()) return false;
  try {
    PackageBuilder builder(files);
    if (!builder.Walk(sourceFolder, std::string())) return false;
    FilePackage built;
    built.questionId = questionId;
    built.unpackFolder.Assign(unpackFolder);
    built.entryCount = builder.entryCount();
    built.data = std::move(builder.data());
    built.data.shrink_to_fit();
    package = std::move(built);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ReplacePackage(OperationBank& bank, FileAccess& files, const std::string& sourceFolder,
                    const std::string& unpackFolder, int32_t questionId) {
  FilePackage package;
  if (!BuildPackage(files, sourceFolder, unpackFolder, questionId, package)) return false;
  bank.RemovePackage(questionId);
  bank.AppendPackage(std::move(package));
  return true;
}

UnpackResult Unpack(FileAccess& files, const FilePackage& package) {
  return Unpack(files, package, package.unpackFolder.text());
}

UnpackResult Unpack(FileAccess& files, const FilePackage& package, std::string_view unpackFolder) {
  UnpackResult result;
  // A folder from a file may end in a lone lead byte, which would swallow the separator
  // joined after it: it is cut to a character boundary first.
  std::string folder(unpackFolder);
  folder.resize(GbkWholeLength(folder));
  PackageEntryReader reader(package.data);
  PackageEntry entry;
  for (int32_t i = 0; i < package.entryCount && reader.Next(entry); ++i) {
    // Every target but the folder itself must lie below it, by the component rules and as the
    // platform resolves the paths, whatever its code page; a file needs a name of its own.
    std::string target = UnpackTargetPath(folder, entry.relativePath);
    const bool namesFolder = target == folder;
    if (folder.empty() || !IsSafeRelativePath(entry.relativePath) ||
        (namesFolder && !entry.isFolder()) ||
        (!namesFolder && !files.LiesBelow(folder, target))) {
      ++result.entriesRefused;
      result.skipped.push_back({std::string(entry.relativePath), true, false});
      continue;
    }
    // A link that a candidate left below the folder would carry the entry elsewhere.
    if (!namesFolder && files.PassesLinkBelow(folder, target)) {
      ++result.entriesRefused;
      result.skipped.push_back({std::string(entry.relativePath), true, true});
      continue;
    }
    if (entry.isFolder()) {
      // A folder given with a trailing separator is created without it.
      std::size_t last = GbkFindLastSeparator(target);
      if (last != std::string::npos && last + 1 == target.size() && last > 0) target.pop_back();
      CreateFolderWithAncestors(files, target);
    } else if (files.WriteWholeFile(target, entry.content, entry.size)) {
      ++result.filesWritten;
    } else {
      ++result.filesFailed;
      result.skipped.push_back({std::string(entry.relativePath), false, false});
    }
  }
  return result;
}

}  // namespace velmor
