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
    std::string seen = "unset";
    int stepsAfter = 0;
    EXPECT_FALSE(RunTrapped(
        [&] {
            throw PlatformError("The store is busy.");
            ++stepsAfter;
        },
        [&] { seen = TrappedFailureText(); }));
    EXPECT_EQ(stepsAfter, 0);
    EXPECT_EQ(seen, "The store is busy.");

    // Only the platform's error carries a sentence for the user.
    EXPECT_FALSE(RunTrapped([] { throw std::out_of_range("vector"); },
                            [&] { seen = TrappedFailureText(); }));
    EXPECT_EQ(seen, "");
    EXPECT_EQ(TrappedFailureText(), "") << "outside a handler there is no failure";
}

TEST(AnswerOr, AFailureBecomesTheFallbackAndAnAnswerIsKept) {
    EXPECT_EQ(AnswerOr(7, [] { return 3; }), 3);
    EXPECT_EQ(AnswerOr(7, []() -> int { throw PlatformError("gone"); }), 7);
    EXPECT_FALSE(AnswerOr(false, []() -> bool { throw std::runtime_error("io"); }));
    EXPECT_TRUE(AnswerOr(false, [] { return true; }));
}

}  // namespace
}  // namespace platform
