// Several reads that belong together, answered from one state of the store
// under one lock instead of one lock each. A registry without transactions
// reads as it always does.
#pragma once

#include "platform/registry/registry.h"

namespace platform {

class ReadingGroup {
  public:
    explicit ReadingGroup(Registry& registry)
        : registry_(registry), grouped_(registry.BeginTransaction(false).Succeeded()) {}
    // Nothing was written inside, so there is nothing to commit.
    ~ReadingGroup() {
        if (grouped_) registry_.EndTransaction(false);
    }
    ReadingGroup(const ReadingGroup&) = delete;
    ReadingGroup& operator=(const ReadingGroup&) = delete;

  private:
    Registry& registry_;
    bool grouped_;
};

}  // namespace platform
