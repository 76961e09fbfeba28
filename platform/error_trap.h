// The programs' one way to trap a routine's failure: the routine runs, and
// a failure inside it (the platform's error or any other exception of the
// standard library) goes to the given error routine, or becomes the given
// answer, instead of further up.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "platform/platform_error.h"

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

// Answers what the routine answers, or the fallback when it fails: for
// questions where a failure is itself the answer ("is the folder there?").
template <typename Answer, typename Routine>
Answer AnswerOr(Answer fallback, Routine&& routine) {
    try {
        return std::forward<Routine>(routine)();
    } catch (const std::exception&) {
        return fallback;
    }
}

// Inside an error routine called by RunTrapped: the sentence the platform's
// error carries for the user, or empty for any other failure.
inline std::string TrappedFailureText() {
    if (const std::exception_ptr caught = std::current_exception()) {
        try {
            std::rethrow_exception(caught);
        } catch (const PlatformError& e) {
            return e.what();
        } catch (const std::exception&) {
        }
    }
    return {};
}

}  // namespace platform
