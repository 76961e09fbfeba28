#include "platform/shell/app_user_model_id.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(AppUserModelIdTest, DigestMatchesTheStandardsTestVectors) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks: the padding spills into a second one.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(AppUserModelIdTest, OneIdPerPathOfFixedLengthWithoutBlanks) {
    const std::string a = AppUserModelIdForFoldedPath("C:\\MENU\\KESTROW\\PROJECTS.LNK");
    const std::string b = AppUserModelIdForFoldedPath("C:\\MENU\\KESTROW\\PROJECTS 2.LNK");
    EXPECT_EQ(a, AppUserModelIdForFoldedPath("C:\\MENU\\KESTROW\\PROJECTS.LNK"));
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind("Tamsholt.Kestrow2005.", 0), 0u);
    EXPECT_EQ(a.size(), b.size());
    EXPECT_EQ(a.size(), kAppUserModelIdPrefix.size() + kAppUserModelIdDigits);
    EXPECT_EQ(a.find(' '), std::string::npos);
}

}  // namespace
}  // namespace platform
