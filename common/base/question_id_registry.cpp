#include "common/base/question_id_registry.h"

#include <cstdint>

namespace velmor {

int32_t QuestionIdRegistry::Grant(int32_t requested) {
  int32_t granted = requested;
  if (used_.count(requested) != 0) {
    if (maxId_ < INT32_MAX) {
      granted = maxId_ + 1;  // above every id granted, so free
      maxId_ = granted;
    } else {
      // No id above the highest: the smallest positive one still free. Ids are never given
      // back, so the search goes on from where the last one stopped.
      while (used_.count(lowestFreeCandidate_) != 0) ++lowestFreeCandidate_;
      granted = lowestFreeCandidate_;
    }
  } else if (requested > maxId_) {
    maxId_ = requested;
  }
  usedIds_.push_back(granted);
  used_.insert(granted);
  return granted;
}

void QuestionIdRegistry::Clear() {
  maxId_ = 0;
  lowestFreeCandidate_ = 1;
  usedIds_.clear();
  used_.clear();
}

}  // namespace velmor
