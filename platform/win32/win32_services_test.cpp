#include "platform/win32/win32_services.h"

#include <gtest/gtest.h>

#include "platform/platform_error.h"
#include "platform/text/text.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

TEST(ArgumentsOf, KeepsTheTextAfterTheProgramsNameAsGiven) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Kestrow\\Kestrow2005.exe\" C:\\Data\\Projects"),
              "C:\\Data\\Projects");
    EXPECT_EQ(ArgumentsOf(L"Kestrow2005.exe C:\\My Data\\Old  Projects\\\\"),
              "C:\\My Data\\Old  Projects\\\\");
    EXPECT_EQ(ArgumentsOf(L"Kestrow2005.exe \t \"C:\\My Data\""), "\"C:\\My Data\"");
    EXPECT_EQ(ArgumentsOf(L"C:\\Kestrow\\Kestrow2005.exe"), "");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Kestrow\\Kestrow2005.exe\"   "), "");
    EXPECT_EQ(ArgumentsOf(L"K.exe C:\\\u00DCbung"),
              "C:\\\xC3\x9C"
              "bung");
}

// "%1" in a folder command passes a path with blanks in quotes; one pair
// around everything is quoting, as a Windows path holds no double quote.
TEST(CommandLineFolder, TakesOffOnePairOfQuotesAroundTheWholeText) {
    EXPECT_EQ(CommandLineFolder(L"Kestrow2005.exe \"C:\\My Data\""), "C:\\My Data");
    EXPECT_EQ(CommandLineFolder(L"\"C:\\K\\Kestrow2005.exe\" \"C:\\\""), "C:\\");
    EXPECT_EQ(CommandLineFolder(L"K.exe C:\\My Data"), "C:\\My Data");
    EXPECT_EQ(CommandLineFolder(L"K.exe \"C:\\a\" \"b\""), "\"C:\\a\" \"b\"");
    EXPECT_EQ(CommandLineFolder(L"K.exe C:\\a\""), "C:\\a\"");
}

TEST(CommandLineFolder, RefusesTextThatIsNotWholeUtf16) {
    for (const wchar_t* line : {L"K.exe C:\\A\xD800"
                                L"B",
                                L"K.exe \"C:\\A\xDC00\"", L"K.exe C:\\\xD83D"}) {
        try {
            CommandLineFolder(line);
            ADD_FAILURE() << "a lone surrogate passed";
        } catch (const PlatformError& error) {
            EXPECT_NE(std::string(error.what()).find("is not valid text"), std::string::npos)
                << error.what();
        }
    }
    // A pair is one character: U+1F4C1 (file folder).
    EXPECT_EQ(CommandLineFolder(L"K.exe C:\\\xD83D\xDCC1"), "C:\\\xF0\x9F\x93\x81");
}

TEST(ProgramFolder, IsTheRunningProgramsFolderWithoutATrailingBackslash) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(Win32FileSystemObject().FileExists(folder + "\\win32_platform_tests.exe"));
}

TEST(MutexInstanceCheck, SeesAnotherHolderOfTheSameProgramOnly) {
    {
        MutexInstanceCheck first;
        EXPECT_FALSE(first.PreviousInstanceRunning("KestrowTestProgram"));
        EXPECT_FALSE(first.PreviousInstanceRunning("KestrowTestProgram"));  // asks once
        MutexInstanceCheck second;
        EXPECT_TRUE(second.PreviousInstanceRunning("KestrowTestProgram"));
        MutexInstanceCheck other;
        EXPECT_FALSE(other.PreviousInstanceRunning("KestrowOtherTestProgram"));
    }
    MutexInstanceCheck afterwards;
    EXPECT_FALSE(afterwards.PreviousInstanceRunning("KestrowTestProgram"));
}

TEST(Win32ShellExecutor, ReportsAMissingDocumentAsAFailure) {
    Win32ShellExecutor shell;
    EXPECT_LE(shell.ShellExecute(0, nullptr, "C:\\no such folder\\no such file.txt", nullptr, "",
                                 kSwShowNormal),
              32);
    EXPECT_THROW(shell.ShellExecute(0, nullptr, "C:\\bad\xFF", nullptr, "", kSwShowNormal),
                 PlatformError);
}

TEST(Win32HtmlHelp, AMissingHelpFileOpensNothing) {
    Win32HtmlHelp help;
    EXPECT_EQ(help.HtmlHelp(0, "C:\\no such folder\\kestrow.chm", kHhDisplayTopic, "kestrow.htm"),
              0u);
    EXPECT_NO_THROW(help.HtmlHelp(0, "", kHhCloseAll, ""));
}

}  // namespace
}  // namespace platform::win32
