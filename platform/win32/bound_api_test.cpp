// Binding by name: a missing library or entry point is a PlatformError of
// that call. (That the programs import none of the bound libraries is the
// test windows_program_imports.)
#include "platform/win32/bound_api.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform_error.h"

namespace platform::win32 {
namespace {

std::string FailureOf(const wchar_t* library, const char* name) {
    try {
        BoundEntry(library, name);
    } catch (const PlatformError& error) {
        return error.what();
    }
    return "(bound)";
}

TEST(BoundApi, AMissingLibraryOrEntryPointFailsThatCallByName) {
    EXPECT_EQ(FailureOf(L"kestrow-no-such-library.dll", "Anything")
                  .rfind("The system library kestrow-no-such-library.dll cannot be loaded", 0),
              0u);
    EXPECT_EQ(FailureOf(L"shell32.dll", "NoSuchEntryPoint"),
              "The system library shell32.dll has no NoSuchEntryPoint.");
    EXPECT_NE(BoundEntry(L"shell32.dll", "ShellExecuteW"), nullptr);
}

TEST(BoundApi, BoundCallsWorkAsTheFunctionsTheyStandFor) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_EQ(bound::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder), S_OK);
    EXPECT_NE(folder[0], L'\0');
    ASSERT_TRUE(SUCCEEDED(bound::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    IStream* stream = nullptr;
    EXPECT_EQ(bound::CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_NE(stream, nullptr);
    stream->Release();
    bound::CoUninitialize();
}

}  // namespace
}  // namespace platform::win32
