#include "shortcut-maker/start_menu_containment.h"

#include <gtest/gtest.h>

namespace shortcut_maker {
namespace {

const std::string kStartMenu = "C:\\Users\\ann\\Start Menu\\";

TEST(StartMenuContainmentTest, APlainNameBelowTheStartMenuInAnyCaseStaysInside) {
    EXPECT_TRUE(NamesAShortcutInsideStartMenu(kStartMenu, "Data", kStartMenu + "Data.lnk"));
    EXPECT_TRUE(NamesAShortcutInsideStartMenu(kStartMenu, "Data",
                                              "c:\\USERS\\ann\\start menu\\Kestrow\\Data.lnk"));
    EXPECT_TRUE(NamesAShortcutInsideStartMenu(kStartMenu, "..Data",
                                              kStartMenu + "Kestrow\\.\\..\\..Data.lnk"));
}

TEST(StartMenuContainmentTest, NamesAndPathsThatLeadElsewhereAreRefused) {
    struct Case {
        std::string startMenu, name, path;
    };
    const Case cases[] = {
        {kStartMenu, "", kStartMenu + ".lnk"},
        {kStartMenu, "..\\x", kStartMenu + "..\\x.lnk"},
        {kStartMenu, "a/b", kStartMenu + "a/b.lnk"},
        {kStartMenu, "Data", kStartMenu + "Data.txt"},
        {kStartMenu, "Data", "C:\\Users\\ann\\Start Menu2\\Data.lnk"},
        {kStartMenu, "Data", kStartMenu + "Kestrow\\..\\..\\Data.lnk"},
        {kStartMenu, "Data", "..\\..\\..\\..\\" + kStartMenu + "Data.lnk"},
        {"", "Data", "Data.lnk"},
        {"C:\\..\\..", "Data", "C:\\Data.lnk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " at " + c.path);
        EXPECT_FALSE(NamesAShortcutInsideStartMenu(c.startMenu, c.name, c.path));
    }
}

}  // namespace
}  // namespace shortcut_maker
