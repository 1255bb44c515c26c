// The question-id registry both bank models share: a requested id that is still free is
// granted as it is; a requested id already granted yields one more than the highest id
// granted so far or, once that is 2^31 - 1, the smallest positive id not granted. A granted id
// is never granted again; only Clear empties the registry.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace velmor {

class QuestionIdRegistry {
 public:
  int32_t Grant(int32_t requested);
  void Clear();

  int32_t maxId() const { return maxId_; }
  // Every id granted since the last Clear, in the order granted.
  const std::vector<int32_t>& usedIds() const { return usedIds_; }
  bool IsUsed(int32_t id) const { return used_.count(id) != 0; }

  friend bool operator==(const QuestionIdRegistry& a, const QuestionIdRegistry& b) {
    return a.maxId_ == b.maxId_ && a.usedIds_ == b.usedIds_;
  }

 private:
  int32_t maxId_ = 0;
  std::vector<int32_t> usedIds_;
  std::unordered_set<int32_t> used_;  // the same ids, for look-up in a bank of thousands
  int32_t lowestFreeCandidate_ = 1;    // no positive id below it is free
};

}  // namespace velmor
