#include "platform/error_trap.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace platform {
namespace {

TEST(RunTrapped, ARoutineThatEndsNeverCallsTheErrorRoutine) {
    int errors = 0;
    int steps = 0;
    EXPECT_TRUE(RunTrapped([&] { ++steps; }, [&] { ++errors; }));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(errors, 0);
}

TEST(RunTrapped, AFailureStopsTheRoutineAndGoesToTheErrorRoutineWithItsText) {
    Failure seen{"unset", false};
    int stepsAfter = 0;
    EXPECT_FALSE(RunTrapped(
        [&] {
            throw PlatformError("The store is busy.", PlatformError::Source::Store);
            ++stepsAfter;
        },
        [&](const Failure& failure) { seen = failure; }));
    EXPECT_EQ(stepsAfter, 0);
    EXPECT_EQ(seen.text, "The store is busy.");
    EXPECT_TRUE(seen.ofStore);

    EXPECT_FALSE(RunTrapped([] { throw std::bad_alloc(); },
                            [&](const Failure& failure) { seen = failure; }));
    EXPECT_EQ(seen.text, "There is not enough memory.");
    EXPECT_FALSE(seen.ofStore);
}

// A fault of the program is no failure of the platform: it must reach the
// test, not become a quiet answer.
TEST(RunTrapped, AnyOtherExceptionPassesThrough) {
    int errors = 0;
    EXPECT_THROW(RunTrapped([] { throw std::out_of_range("vector"); }, [&] { ++errors; }),
                 std::out_of_range);
    EXPECT_EQ(errors, 0);
    EXPECT_THROW(AnswerOr(false, []() -> bool { throw std::logic_error("bug"); }),
                 std::logic_error);
}

TEST(AnswerOr, AFailureBecomesTheFallbackAndAnAnswerIsKept) {
    EXPECT_EQ(AnswerOr(7, [] { return 3; }), 3);
    EXPECT_EQ(AnswerOr(7, []() -> int { throw PlatformError("gone"); }), 7);
    EXPECT_TRUE(AnswerOr(false, [] { return true; }));
}

}  // namespace
}  // namespace platform
