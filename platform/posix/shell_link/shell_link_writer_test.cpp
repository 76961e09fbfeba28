#include "platform/posix/shell_link/shell_link_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/platform_error.h"
#include "platform/posix/shell_link/shell_link_reader.h"
#include "platform/testing/lnkinfo.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

class ShellLinkFileTest : public ::testing::Test {
  protected:
    static ShellLink FolderShortcut(const std::string& folder) {
        ShellLink link;
        link.targetPath = "C:\\Windows\\explorer.exe";
        link.arguments = "/e,/root,\"" + folder + "\"";
        link.description = "Shortcut to the folder\r\n" + folder;
        link.iconLocation = "explorer.exe";
        link.iconIndex = 1;
        link.showCommand = kShowMaximized;
        link.appUserModelId = "Tamsholt.Kestrow2005.0123456789ABCDEF0123456789ABCDEF";
        return link;
    }

    static std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::vector<std::string> EntriesOfDir() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.Native())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    testing::TestFolder dir_;
};

TEST_F(ShellLinkFileTest, LnkinfoReadsBackEveryPropertyForNonAsciiFolders) {
    const std::vector<std::string> folders = {
        "Z:\\home\\ann\\Документы",
        "Z:\\home\\ann\\写真 2026",
        "Z:\\home\\ann\\Trips \"best\" of",
    };
    for (const auto& folder : folders) {
        SCOPED_TRACE(folder);
        const fs::path file = dir_.Native() / "Shortcut.lnk";
        const ShellLink link = FolderShortcut(folder);
        WriteShellLinkFile(file, link);

        if (!testing::LnkinfoInstalled()) GTEST_SKIP() << "lnkinfo is not installed";
        const testing::LnkinfoReport report = testing::RunLnkinfo(file);
        const std::string& output = report.output;
        EXPECT_EQ(output.find("Error"), std::string::npos) << output;
        // lnkinfo prints the description's CR LF as is.
        EXPECT_EQ(report.Field("Description"), "Shortcut to the folder\r") << output;
        EXPECT_NE(output.find("Shortcut to the folder\r\n" + folder + "\n"), std::string::npos)
            << output;
        EXPECT_EQ(report.Field("Command line arguments"), link.arguments);
        EXPECT_EQ(report.Field("Icon location"), "explorer.exe");
        EXPECT_EQ(report.Field("Icon index"), "1");
        EXPECT_EQ(report.Field("Local path"), "C:\\Windows\\explorer.exe");
        EXPECT_EQ(output.find("Working directory"), std::string::npos);
        EXPECT_EQ(output.find("Relative path"), std::string::npos);

        const auto read = ReadShellLinkFile(file);
        EXPECT_EQ(read.link.description, link.description);
        EXPECT_EQ(read.link.arguments, link.arguments);
        EXPECT_EQ(read.link.iconLocation, "explorer.exe");
        EXPECT_EQ(read.link.targetPath, "C:\\Windows\\explorer.exe");
    }
}

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST_F(ShellLinkFileTest, HeaderCarriesShowCommandIconIndexAndNoHotKey) {
    for (std::uint32_t show : {kShowNormal, kShowMaximized, kShowMinNoActive}) {
        ShellLink link = FolderShortcut("Z:\\data");
        link.showCommand = show;
        const fs::path file = dir_.Native() / "a.lnk";
        WriteShellLinkFile(file, link);
        const auto bytes = ReadBytes(file);
        ASSERT_GE(bytes.size(), 0x4Cu);
        EXPECT_EQ(U32At(bytes, 0), 0x4Cu);
        EXPECT_EQ(U32At(bytes, 0x3C), show);
        EXPECT_EQ(U32At(bytes, 0x38), 1u);               // icon index
        EXPECT_EQ(bytes[0x40] | (bytes[0x41] << 8), 0);  // hot key
        // Target ID list, link info, name, arguments, icon location, Unicode; nothing else.
        EXPECT_EQ(U32At(bytes, 0x14), 0x1u | 0x2u | 0x4u | 0x20u | 0x40u | 0x80u);
        // The file ends with the terminal extra-data block.
        EXPECT_EQ(U32At(bytes, bytes.size() - 4), 0u);
    }
}

TEST_F(ShellLinkFileTest, StringsAreCountedInUtf16Units) {
    ShellLink link = FolderShortcut("Z:\\x");
    link.arguments = "a🚲b";  // the bicycle is two UTF-16 units
    link.description.clear();
    link.iconLocation.clear();
    link.appUserModelId.clear();
    const auto bytes = EncodeShellLink(link);
    // Without name and icon the arguments are the last string, before the
    // 4-byte terminal block: count, then 4 units.
    // (lnkinfo 20181227 decodes surrogate pairs wrongly, so the units are
    // checked here.)
    const std::size_t countAt = bytes.size() - 4 - 8 - 2;
    EXPECT_EQ(bytes[countAt] | (bytes[countAt + 1] << 8), 4);
    const std::vector<std::uint8_t> units(bytes.begin() + countAt + 2, bytes.end() - 4);
    EXPECT_EQ(units, (std::vector<std::uint8_t>{'a', 0, 0x3D, 0xD8, 0xB2, 0xDE, 'b', 0}));
    EXPECT_EQ(DecodeShellLink(bytes).link.arguments, "a🚲b");
}

TEST_F(ShellLinkFileTest, RefusesWhatTheFormatCannotCarry) {
    ShellLink relative = FolderShortcut("Z:\\x");
    relative.targetPath = "explorer.exe";
    EXPECT_THROW(EncodeShellLink(relative), PlatformError);

    ShellLink badStyle = FolderShortcut("Z:\\x");
    badStyle.showCommand = 2;
    EXPECT_THROW(EncodeShellLink(badStyle), PlatformError);

    ShellLink longText = FolderShortcut("Z:\\x");
    longText.arguments.assign(70000, 'a');
    EXPECT_THROW(EncodeShellLink(longText), PlatformError);

    // Bytes that are no text would be stored as another folder's name.
    for (const char* folder : {"Z:\\bad\xFF", "Z:\\\xED\xA0\x80"}) {
        EXPECT_THROW(EncodeShellLink(FolderShortcut(folder)), PlatformError) << folder;
    }
}

TEST_F(ShellLinkFileTest, StaleTemporaryFilesOfKilledRunsAreRemovedAndNothingElse) {
    const auto age = [](const fs::path& path) {
        const timespec times[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    };
    const fs::path outside = dir_.Native() / "outside";
    fs::create_directories(outside);
    std::ofstream(outside / "precious") << "keep";
    const fs::path stale = dir_.Native() / ".kestrow-tmp-abcd1234";
    const fs::path fresh = dir_.Native() / ".kestrow-tmp-efgh5678";  // a run writing right now
    const fs::path notOurs = dir_.Native() / ".kestrow-tmp-notours";
    const fs::path link = dir_.Native() / ".kestrow-tmp-link0000";
    const fs::path folder = dir_.Native() / ".kestrow-tmp-fold0000";
    for (const auto& file : {stale, fresh, notOurs}) std::ofstream(file) << "half";
    fs::create_symlink(outside / "precious", link);
    fs::create_directories(folder);
    for (const auto& path : {stale, notOurs, link, folder}) age(path);
    fs::path otherUser;
    if (::geteuid() == 0) {
        otherUser = dir_.Native() / ".kestrow-tmp-user0000";
        std::ofstream(otherUser) << "theirs";
        ASSERT_EQ(::chown(otherUser.c_str(), 4321, 4321), 0);
        age(otherUser);
    }

    WriteShellLinkFile(dir_.Native() / "New.lnk", FolderShortcut("Z:\\x"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(stale)));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(notOurs));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_directory(folder));
    if (!otherUser.empty()) {
        EXPECT_TRUE(fs::exists(otherUser));
    }
    EXPECT_EQ(ReadBytes(outside / "precious").size(), 4u);
    EXPECT_TRUE(fs::exists(dir_.Native() / "New.lnk"));
}

TEST_F(ShellLinkFileTest, ReplacesAnExistingFileWhole) {
    const fs::path file = dir_.Native() / "Old.lnk";
    WriteShellLinkFile(file, FolderShortcut("Z:\\first"));
    WriteShellLinkFile(file, FolderShortcut("Z:\\second"));
    EXPECT_EQ(ReadShellLinkFile(file).link.description, "Shortcut to the folder\r\nZ:\\second");
    EXPECT_EQ(EntriesOfDir(), std::vector<std::string>{"Old.lnk"});

    // A name near the length limit still leaves room for the temporary file.
    const std::string longName = std::string(251, 'n') + ".lnk";
    WriteShellLinkFile(dir_.Native() / longName, FolderShortcut("Z:\\x"));
    EXPECT_TRUE(fs::exists(dir_.Native() / longName));
}

TEST_F(ShellLinkFileTest, NewFilesFollowTheUmaskWhichOtherThreadsKeepMeanwhile) {
    const mode_t savedMask = ::umask(022);
    // Another thread making files while shortcuts are written: none of its
    // files may ever be made with a cleared umask.
    std::atomic<bool> stop{false};
    std::atomic<int> loose{0};
    const fs::path probe = dir_.Native() / "probe";
    std::thread other([&] {
        while (!stop) {
            ::unlink(probe.c_str());
            const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0) continue;
            struct stat st {};
            if (::fstat(fd, &st) == 0 && (st.st_mode & 022) != 0) ++loose;
            ::close(fd);
        }
    });
    for (int i = 0; i < 3000; ++i)
        WriteShellLinkFile(dir_.Native() / "a.lnk", FolderShortcut("Z:\\x"));
    stop = true;
    other.join();
    ::unlink(probe.c_str());

    struct stat st {};
    ASSERT_EQ(::stat((dir_.Native() / "a.lnk").c_str(), &st), 0);
    ::umask(savedMask);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(loose, 0);
}

TEST_F(ShellLinkFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const fs::path file = dir_.Native() / "Keep.lnk";
    WriteShellLinkFile(file, FolderShortcut("Z:\\first"));
    const auto before = ReadBytes(file);

    // A full disk, as far as this process is concerned.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(WriteShellLinkFile(file, FolderShortcut("Z:\\second")), PlatformError);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(EntriesOfDir(), std::vector<std::string>{"Keep.lnk"});
}

TEST_F(ShellLinkFileTest, AFailedRenameOrMissingFolderIsReportedAndCleanedUp) {
    // A non-empty folder where the shortcut should go: the rename fails.
    fs::create_directories(dir_.Native() / "Busy.lnk" / "inside");
    EXPECT_THROW(WriteShellLinkFile(dir_.Native() / "Busy.lnk", FolderShortcut("Z:\\x")),
                 PlatformError);
    EXPECT_TRUE(fs::is_directory(dir_.Native() / "Busy.lnk" / "inside"));
    EXPECT_EQ(EntriesOfDir(), std::vector<std::string>{"Busy.lnk"});

    // A parent that is a file.
    std::ofstream(dir_.Native() / "plain") << "x";
    EXPECT_THROW(WriteShellLinkFile(dir_.Native() / "plain" / "a.lnk", FolderShortcut("Z:\\x")),
                 PlatformError);
    EXPECT_EQ(fs::file_size(dir_.Native() / "plain"), 1u);
}

}  // namespace
}  // namespace platform::posix
