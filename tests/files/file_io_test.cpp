#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/file_io.h"

namespace vtq::files {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vtq-io-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  // Only the files the test made itself: no temporary file may be left behind.
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(FileIo, ReplacesAFileKeepingItsPermissionsAndLinks) {
  const fs::path target = dir_ / "d.vtq", link = dir_ / "link.vtq";
  std::ofstream(target) << "old";
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, link);
  FileReplacement f;
  ASSERT_TRUE(f.Create(link.string())) << f.error();
  ASSERT_TRUE(f.Write("new") && f.Commit()) << f.error();
  EXPECT_EQ(Contents(target), "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(FileCount(), 2u);
}

// Root writes into read-only folders, so the failures are ones root meets too: a folder
// that is not there, a target that is a folder, a device that is full, and a file size
// limit, which stops a write just as a full disk does.
TEST_F(FileIo, FailuresLeaveTheOldFileAsItWas) {
  const fs::path target = dir_ / "d.vtq";
  std::ofstream(target) << "old design";
  struct Case {
    std::string path, reason;
  } cases[] = {
      {(dir_ / "gone" / "d.vtq").string(), "does not exist"},
      {dir_.string(), "it is a folder"},
      {"/dev/full", "the disk is full"},
  };
  for (const auto& c : cases) {
    FileReplacement f;
    bool ok = f.Create(c.path) && f.Write(std::string(8192, 'x')) && f.Commit();
    EXPECT_FALSE(ok) << c.path;
    EXPECT_NE(f.error().find(c.reason), std::string::npos) << c.path << ": " << f.error();
  }

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &small);
  FileReplacement f;
  bool ok = f.Create(target.string()) && f.Write("\"Inductance\"\r\n400\r\n") && f.Commit();
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(ok);
  EXPECT_EQ(f.error(), "the file would be larger than allowed");
  EXPECT_EQ(Contents(target), "old design");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(FileIo, ReadsNoMoreThanItsLimit) {
  EXPECT_EQ(ReadFileStart("/dev/zero", 10).bytes, std::string(10, '\0'));
  EXPECT_EQ(ReadFileStart((dir_ / "none").string(), 10).error, "the file or its folder does not exist");
  EXPECT_EQ(ReadFileStart(dir_.string(), 10).error, "it is a folder");
}

}  // namespace
}  // namespace vtq::files
