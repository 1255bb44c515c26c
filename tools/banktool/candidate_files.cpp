#include "tools/banktool/candidate_files.h"

#include <algorithm>

#include "common/base/text_encoding.h"
#include "oblen/model/package_format.h"
#include "tools/banktool/exam_commands.h"

namespace velmor {

FileAccess::ReadResult CandidateFiles::ReadSharedFile(const std::string& path,
                                                      std::vector<unsigned char>& bytes,
                                                      uint64_t limit) {
  std::string relative;
  std::string place;
  switch (PlaceBelow(unpackFolder_, path, &relative)) {
    case Placement::kOutside:
      place = path;
      break;
    case Placement::kBelow:
      place = UnpackTargetPath(root_, relative);
      // A link would let one candidate's work count for another's; it is never followed.
      if (files_.PassesLinkBelow(root_, place)) {
        if (std::find(linked_.begin(), linked_.end(), relative) == linked_.end()) {
          linked_.push_back(relative);
        }
        return ReadResult::kCannotOpen;
      }
      break;
    case Placement::kUnsafe:
      return ReadResult::kCannotOpen;
  }
  // Grading reads each target once however many requirements name it; nothing is kept
  // here, so a big file is held once.
  return files_.ReadSharedFile(place, bytes, limit);
}

std::string CandidateFiles::Note() const {
  if (linked_.empty()) return std::string();
  std::string note = "not followed, a link: ";
  for (std::size_t i = 0; i < linked_.size(); ++i) {
    note += (i > 0 ? ", " : "") + GbkToUtf8(linked_[i]);
  }
  return note;
}

}  // namespace velmor
