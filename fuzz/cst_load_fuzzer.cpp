// Feeds arbitrary bytes to the .cst reader. Whatever was read must save, load back
// completely, and save again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "oblen/model/operation_bank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmor::OperationBank bank;
  velmor::MemorySource source(data, size);
  bank.LoadFrom(source);

  velmor::MemorySink first;
  if (!bank.SaveTo(first)) std::abort();
  velmor::OperationBank reloaded;
  velmor::MemorySource again(first.bytes().data(), first.bytes().size());
  if (!reloaded.LoadFrom(again)) std::abort();
  velmor::MemorySink second;
  if (!reloaded.SaveTo(second) || second.bytes() != first.bytes()) std::abort();
  return 0;
}
