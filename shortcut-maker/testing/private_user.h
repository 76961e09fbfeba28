// The environment of a user of the tests' own: home, settings and Start Menu
// under one scratch folder, and no display, so that a program started with
// it neither touches the real user's files nor opens a window.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace shortcut_maker::testing {

inline std::vector<std::pair<std::string, std::optional<std::string>>> PrivateUserEnvironment(
    const std::string& root) {
    return {{"DISPLAY", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt},
            {"QT_QPA_PLATFORM", std::nullopt},
            {"HOME", root + "/home"},
            {"XDG_CONFIG_HOME", root + "/config"},
            {"XDG_DATA_HOME", root + "/data"}};
}

}  // namespace shortcut_maker::testing
