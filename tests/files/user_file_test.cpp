// The one reader of every file a user hands over: what reaches a parser, and what is
// refused before it does.
#include "files/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "support/scratch.h"

namespace vtq::files {
namespace {

using Kind = UserFileKind;
using namespace std::string_literals;

TEST(UserFile, TextAsItsParserTakesIt) {
  const struct {
    std::string bytes;
    Kind kind;
    std::string text, error;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "a,b\r\nc\rd\n",
       Kind::Material, "a,b\nc\nd\n", ""},  // a spreadsheet's CSV UTF-8
      {"a\r\r\nb", Kind::Scan, "a\n\nb", ""},
      {"x\xEF\xBB\xBF", Kind::Scan, "x\xEF\xBB\xBF", ""},  // only a leading mark is one
      {"a\r\nb\rc\n\0d"s, Kind::Mas, "", "line 4: a NUL byte: it is not a MAS document"},
      {std::string(4 << 20, 'x'), Kind::Scan, std::string(4 << 20, 'x'), ""},
      {std::string((4 << 20) + 1, 'x'), Kind::Design, "",
       "the file is too large to be a design file (over 4 MB)"},
  };
  for (const auto& c : cases) {
    const UserText t = UserTextOf(c.bytes, c.kind);
    EXPECT_EQ(t.error, c.error) << c.bytes.substr(0, 20);
    EXPECT_TRUE(t.text == c.text) << c.bytes.substr(0, 20);
    EXPECT_FALSE(t.systemFailure);
  }
}

// Whatever is at the path, the answer comes at once: a pipe with no writer is an empty
// file, a device without end is too large, and the system's reasons are the system's.
TEST(UserFile, ReadsWhateverIsAtThePathWithoutWaiting) {
  test::ScratchFolder dir;
  const std::string fifo = dir / "pipe", file = dir / "scan.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  test::Write(file,
              "\xEF\xBB\xBF"
              "f,l\r\n1,2\r\n");
  const struct {
    std::string path, text, error;
    bool system;
  } cases[] = {
      {file, "f,l\n1,2\n", "", false},
      {fifo, "", "", false},
      {"/dev/zero", "", "the file is too large to be an emission scan (over 4 MB)", false},
      {dir / "gone.csv", "", "the file or its folder does not exist", true},
      {dir.path.string(), "", "it is a folder", true},
  };
  for (const auto& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const UserText t = ReadUserFile(c.path, Kind::Scan);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.path;
    EXPECT_EQ(t.text, c.text) << c.path;
    EXPECT_EQ(t.error, c.error) << c.path;
    EXPECT_EQ(t.systemFailure, c.system) << c.path;
  }
}

TEST(UserFile, NamesAndQuotesALine) {
  LineCursor lines("a\n\nb");
  std::vector<std::pair<std::size_t, std::string>> seen;
  for (std::string_view line; lines.Next(line);) seen.emplace_back(lines.number(), line);
  EXPECT_EQ(seen, (std::vector<std::pair<std::size_t, std::string>>{{1, "a"}, {2, ""}, {3, "b"}}));
  EXPECT_EQ(LineOfOffset("a\nb\nc", 4), 3u);
  EXPECT_EQ(AtLine(12), "line 12: ");
  EXPECT_EQ(Quoted(std::string(40, 'x')), std::string(40, 'x'));
  EXPECT_EQ(Quoted(std::string(10 << 20, 'x')), std::string(40, 'x') + "...");
  // 39 bytes, then a two-byte character across the cut: it goes whole.
  EXPECT_EQ(Quoted(std::string(39, 'x') + "\u00b5" + "tail"), std::string(39, 'x') + "...");
}

// A stream's lines one at a time, whatever ends them and however the writes split them.
TEST(UserFile, StreamsLinesAsTheyArrive) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);  // room for the whole test without a reader
  LineStream in;
  ASSERT_TRUE(in.Open("/dev/fd/" + std::to_string(fds[0]), Kind::Batch));
  ::close(fds[0]);
  const std::string first =
      "\xEF\xBB\xBF"
      "a\r";
  ASSERT_EQ(::write(fds[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
  std::string line;
  EXPECT_EQ(in.Next(line), LineStream::Read::Line);
  EXPECT_EQ(line, "a");
  EXPECT_FALSE(in.Ready());
  // The LF of a CR LF split across two writes ends no second line.
  const std::string rest = "\nb\n" + std::string(70000, 'x') + "\nc\0d\r\ne"s;
  ASSERT_EQ(::write(fds[1], rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(fds[1]);
  const std::pair<LineStream::Read, std::string> expected[] = {{LineStream::Read::Line, "b"},
                                                               {LineStream::Read::TooLong, ""},
                                                               {LineStream::Read::Binary, ""},
                                                               {LineStream::Read::Line, "e"},
                                                               {LineStream::Read::End, ""}};
  for (const auto& [read, text] : expected) {
    EXPECT_EQ(in.Next(line), read);
    EXPECT_EQ(line, text);
  }
  EXPECT_EQ(in.number(), 5u);
  EXPECT_EQ(in.error(), "");
  LineStream folder;
  EXPECT_FALSE(folder.Open("/", Kind::Batch));
  EXPECT_EQ(folder.error(), "it is a folder");
}

}  // namespace
}  // namespace vtq::files
