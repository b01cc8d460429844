#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/file_io.h"

#include <csignal>

#include "support/scratch.h"

namespace vtq::files {
namespace {

// While it lives, no file of this process may grow beyond `bytes`: a write then fails
// the way it does on a full disk, for root too.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

using test::Contents;

// The replacement keeps the old file's mode (the set-group-ID bit a shared project folder
// relies on too) and, where the program may give it (as root), its owner and group.
TEST(FileIo, ReplacesAFileKeepingItsOwnerModeAndLinks) {
  test::ScratchFolder dir;
  const std::string target = dir / "d.vtq", link = dir / "link.vtq";
  test::Write(target, "old");
  const bool root = ::geteuid() == 0;
  const uid_t owner = root ? 4242 : ::geteuid();
  const gid_t group = root ? 4343 : ::getegid();
  ASSERT_EQ(::chown(target.c_str(), owner, group), 0);
  ::chmod(target.c_str(), 02750);  // after chown, which clears the set-ID bits
  test::fs::create_symlink(target, link);
  FileReplacement f;
  ASSERT_TRUE(f.Create(link) && f.Write("new") && f.Commit()) << f.error();
  EXPECT_EQ(Contents(target), "new");
  EXPECT_TRUE(test::fs::is_symlink(link));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 02750u);
  EXPECT_EQ(st.st_uid, owner);
  EXPECT_EQ(st.st_gid, group);
  EXPECT_EQ(std::distance(test::fs::directory_iterator(dir.path), {}), 2);  // no temporary file left
}

// A user who may not give the new file the old one's owner (only root may) still replaces
// it, but without its set-ID bits: kept, they would hand the user's own group to whatever
// runs or is made under the file. Root plays that user in a child. Set-group-ID without
// group execute: the one set-ID bit the kernel leaves through an unprivileged write.
TEST(FileIo, ASaveThatCannotKeepTheOwnerDropsTheSetIdBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to another user";
  test::ScratchFolder dir("/tmp");  // a folder every user can reach
  const std::string target = dir / "d.vtq";
  test::Write(target, "old");
  ::chmod(dir.path.c_str(), 0777);
  ::chmod(target.c_str(), 02767);
  constexpr uid_t kNobody = 65534;
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);  // a root without CAP_SETUID
    FileReplacement f;
    ::_exit(f.Create(target) && f.Write("new") && f.Commit() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "this root may not become another user";
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(Contents(target), "new");
  EXPECT_EQ(st.st_uid, kNobody);
  EXPECT_EQ(st.st_mode & 07777, 0767u);
}

// A dangling link leads to the file it names; a signal that ends the program mid-save
// takes the temporary file with it.
TEST(FileIo, FollowsADanglingLinkAndLeavesNoTemporaryFileOnASignal) {
  test::ScratchFolder dir;
  const std::string link = dir / "link.vtq";
  test::fs::create_symlink("made.vtq", link);
  FileReplacement f;
  ASSERT_TRUE(f.Create(link) && f.Write("new") && f.Commit()) << f.error();
  EXPECT_TRUE(test::fs::is_symlink(link));
  EXPECT_EQ(Contents(dir / "made.vtq"), "new");
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = ::fork();
    if (child == 0) {
      FileReplacement g;
      if (g.Create(dir / "d.vtq") && g.Write("half")) ::raise(signal);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
  }
  EXPECT_EQ(std::distance(test::fs::directory_iterator(dir.path), {}), 2);  // the link and its file
}

// Root writes into read-only folders, so these are failures root meets too: a folder
// that is not there, a target that is a folder, a full device, and a file-size limit,
// which stops a write as a full disk does.
TEST(FileIo, FailuresSayWhyAndLeaveTheOldFileAsItWas) {
  test::ScratchFolder dir;
  const std::string target = dir / "d.vtq";
  test::Write(target, "old design");
  const struct {
    std::string path, reason;
    rlim_t sizeLimit;
  } cases[] = {
      {dir / "gone/d.vtq", "the file or its folder does not exist", RLIM_INFINITY},
      {dir.path.string(), "it is a folder", RLIM_INFINITY},
      {"/dev/full", "the disk is full", RLIM_INFINITY},
      {target, "the file would be larger than allowed", 4},
  };
  for (const auto& c : cases) {
    FileReplacement f;
    bool ok;
    {
      FileSizeLimit limit(c.sizeLimit);
      ok = f.Create(c.path) && f.Write(std::string(8192, 'x')) && f.Commit();
    }
    EXPECT_FALSE(ok) << c.path;
    EXPECT_EQ(f.error(), c.reason) << c.path;
  }
  EXPECT_EQ(Contents(target), "old design");
  EXPECT_EQ(std::distance(test::fs::directory_iterator(dir.path), {}), 1);
}

}  // namespace
}  // namespace vtq::files
