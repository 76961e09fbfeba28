// The programs' one way to trap a routine's failure: the routine runs, and
// a failure inside it (the platform's error or any other exception of the
// standard library) goes to the given error routine instead of further up.
#pragma once

#include <exception>
#include <utility>

namespace platform {

// Answers whether the routine ran to its end.
template <typename Routine, typename ErrorRoutine>
bool RunTrapped(Routine&& routine, ErrorRoutine&& onError) {
    try {
        std::forward<Routine>(routine)();
        return true;
    } catch (const std::exception&) {
        std::forward<ErrorRoutine>(onError)();
        return false;
    }
}

}  // namespace platform
