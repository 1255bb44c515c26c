#include "common/base/question_id_registry.h"

namespace velmor {

int32_t QuestionIdRegistry::Grant(int32_t requested) {
  int32_t granted = requested;
  if (used_.count(requested) != 0) {
    // Ids wrap around like the 32-bit counter they are; a bank never holds 2^31 questions.
    granted = static_cast<int32_t>(static_cast<uint32_t>(maxId_) + 1u);
    maxId_ = granted;
  } else if (requested > maxId_) {
    maxId_ = requested;
  }
  usedIds_.push_back(granted);
  used_.insert(granted);
  return granted;
}

void QuestionIdRegistry::Clear() {
  maxId_ = 0;
  usedIds_.clear();
  used_.clear();
}

}  // namespace velmor
