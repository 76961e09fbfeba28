// A lower limit on file sizes for one scope, as ulimit -f sets it.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace platform::testing {

// Lowers the limit on file sizes for one scope, writes past it failing
// instead of raising the signal, and puts both back.
class ScopedFileSizeLimit {
  public:
    explicit ScopedFileSizeLimit(std::uint64_t bytes) {
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        ok_ = ::getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~ScopedFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool Ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

}  // namespace platform::testing
