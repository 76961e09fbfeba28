// The programs' one way to trap a routine's failure: the routine runs, and a
// failure of the platform inside it (its error, or no memory left) goes to
// the given error routine, or becomes the given answer, instead of further
// up. Any other exception is a fault of the program and passes through.
#pragma once

#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/platform_error.h"

namespace platform {

// What a trapped failure tells the user.
struct Failure {
    // The platform's sentence; empty when it had none.
    std::string text;
    // The settings store could not be used: the sentence names the store and
    // the cause, and is told as it stands.
    bool ofStore = false;
    // What the user chose cannot be used; the sentence says why.
    bool ofChoice = false;
};

// Runs the routine; the failure when it did not run to its end.
template <typename Routine>
std::optional<Failure> Attempt(Routine&& routine) {
    try {
        std::forward<Routine>(routine)();
        return std::nullopt;
    } catch (const PlatformError& e) {
        return Failure{e.what(), e.OfStore(), e.OfChoice()};
    } catch (const std::bad_alloc&) {
        return Failure{"There is not enough memory."};
    }
}

// Answers whether the routine ran to its end. onError takes the Failure, or
// nothing.
template <typename Routine, typename ErrorRoutine>
bool RunTrapped(Routine&& routine, ErrorRoutine&& onError) {
    const std::optional<Failure> failure = Attempt(std::forward<Routine>(routine));
    if (!failure) return true;
    if constexpr (std::is_invocable_v<ErrorRoutine, const Failure&>) {
        std::forward<ErrorRoutine>(onError)(*failure);
    } else {
        std::forward<ErrorRoutine>(onError)();
    }
    return false;
}

// Answers what the routine answers, or the fallback when it fails: for
// questions where a failure is itself the answer ("is the folder there?").
template <typename Answer, typename Routine>
Answer AnswerOr(Answer fallback, Routine&& routine) {
    std::optional<Answer> answer;
    if (Attempt([&] { answer.emplace(std::forward<Routine>(routine)()); })) return fallback;
    return std::move(*answer);
}

}  // namespace platform
