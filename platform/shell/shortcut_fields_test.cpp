#include "platform/shell/shortcut_fields.h"

#include <gtest/gtest.h>

#include "platform/platform_error.h"

namespace platform {
namespace {

TEST(ShortcutFieldsTest, IconLocationSplitsAtTheLastCommaAndTakesASignedNumber) {
    const IconPlace plain = SplitIconLocation("C:\\Windows\\explorer.exe");
    EXPECT_EQ(plain.file, "C:\\Windows\\explorer.exe");
    EXPECT_EQ(plain.index, 0);
    const IconPlace spaced = SplitIconLocation("C:\\a,b\\x.ico, -3 ");
    EXPECT_EQ(spaced.file, "C:\\a,b\\x.ico");
    EXPECT_EQ(spaced.index, -3);
    for (const char* bad : {"x.ico,", "x.ico, ", "x.ico,1a", "x.ico,99999999999"}) {
        EXPECT_THROW(SplitIconLocation(bad), PlatformError) << bad;
    }
}

TEST(ShortcutFieldsTest, PathAndWindowStyleChecks) {
    EXPECT_NO_THROW(CheckShortcutPath("C:\\Menu\\A.LNK"));
    EXPECT_THROW(CheckShortcutPath("C:\\Menu\\A.lnk.txt"), PlatformError);
    EXPECT_THROW(CheckShortcutPath("lnk"), PlatformError);
    for (int style : {1, 3, 7}) EXPECT_NO_THROW(CheckWindowStyle(style)) << style;
    for (int style : {0, 2, 4, -1}) EXPECT_THROW(CheckWindowStyle(style), PlatformError) << style;
}

}  // namespace
}  // namespace platform
