#include "platform/posix/flock_instance_check.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/platform_error.h"
#include "platform/testing/scoped_env.h"
#include "platform/testing/test_folder.h"

namespace platform::posix {
namespace {

namespace fs = std::filesystem;

// A child process that takes the lock of programName and holds it until killed.
class LockHolder {
  public:
    explicit LockHolder(const std::string& programName) {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ == 0) {
            FlockInstanceCheck check;
            const char answer = check.PreviousInstanceRunning(programName) ? 'r' : 'l';
            (void)!::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        (void)!::read(ready[0], &answer_, 1);
        ::close(ready[0]);
    }
    ~LockHolder() { Stop(); }
    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }
    char answer() const { return answer_; }

  private:
    pid_t pid_ = 0;
    char answer_ = '?';
};

TEST(FlockInstanceCheckTest, ALockHeldByAnotherProcessDiesWithIt) {
    testing::TestFolder tmp;
    testing::ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.Native().c_str());
    LockHolder holder("KestrowDefaults2005");
    ASSERT_EQ(holder.answer(), 'l');

    FlockInstanceCheck check;
    EXPECT_TRUE(check.PreviousInstanceRunning("KestrowDefaults2005"));
    EXPECT_FALSE(check.PreviousInstanceRunning("Kestrow2005"));  // another program

    holder.Stop();
    EXPECT_FALSE(check.PreviousInstanceRunning("KestrowDefaults2005"));
    EXPECT_FALSE(check.PreviousInstanceRunning("KestrowDefaults2005"));  // still ours

    LockHolder second("KestrowDefaults2005");
    EXPECT_EQ(second.answer(), 'r');
}

TEST(FlockInstanceCheckTest, WithoutARuntimeFolderUsesAPrivateTemporaryFolder) {
    testing::TestFolder tmp;
    testing::ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    testing::ScopedEnv tmpdir("TMPDIR", tmp.Native().c_str());
    const std::string folder = LockFolder();
    EXPECT_EQ(fs::path(folder).parent_path(), tmp.Native());
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());

    FlockInstanceCheck check;
    EXPECT_FALSE(check.PreviousInstanceRunning("KestrowDefaults2005"));

    // A folder that others may enter is not trusted.
    ::chmod(folder.c_str(), 0777);
    EXPECT_THROW(LockFolder(), PlatformError);
    FlockInstanceCheck another;
    EXPECT_THROW(another.PreviousInstanceRunning("Kestrow2005"), PlatformError);
}

}  // namespace
}  // namespace platform::posix
