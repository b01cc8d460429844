#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "cli/cli.h"
#include "cli/run_cli.h"
#include "support.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;

TEST(CliFiles, SaveWritesTheWindowsFileAndOpenPrintsWhatDesignPrints) {
  test::ScratchFolder dir;
  const std::string file = dir / "d.vtq";
  const std::vector<std::string> design = {"--mode",      "impedance", "--main",  "75", "--current", "2.5",
                                           "--material",  "S",         "--units", "mm", "--density", "350",
                                           "--frequency", "150000",    "--core",  "12"};
  auto with = [&](std::vector<std::string> command) {
    command.insert(command.end(), design.begin(), design.end());
    return command;
  };
  Result saved = Cli(with({"save", file}));
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(test::Contents(file),
            "\"Impedance\"\r\n350\r\n\"S\"\r\n\"75\"\r\n\"2.5\"\r\n\"150000\"\r\n25.4\r\n12\r\n");
  std::string expected = Cli(with({"design", "--json"})).out;
  // Only Open names the design mode in the state; everything else must agree.
  const std::string emptyName = "\"DesignModeName\": \"\"";
  expected.replace(expected.find(emptyName), emptyName.size(), "\"DesignModeName\": \"Impedance\"");
  Result opened = Cli({"open", file, "--json"});
  EXPECT_EQ(opened.status, 0) << opened.err;
  EXPECT_EQ(opened.out, expected);
}

TEST(CliFiles, FileFailuresAreClearMessagesWithStatusOne) {
  const std::string gone = "/nonexistent/d.vtq";
  test::ScratchFolder dir;
  const std::string binary = dir / "b.vtq", pipe = dir / "pipe";
  const char program[] =
      "\"Inductance\"\r\n\x7f"
      "ELF\x02\x01\x01\0\0";  // a good first record, then not text
  test::Write(binary, std::string(program, sizeof program - 1));
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"open", gone}, "vtq-cli: could not open " + gone + ": the file or its folder does not exist\n"},
      {{"save", gone}, "vtq-cli: could not save " + gone + ": the file or its folder does not exist\n"},
      {{"open", "/dev/null"}, "vtq-cli: could not open /dev/null: the file ends after 0 of its 8 records\n"},
      {{"open", "/dev/zero"},
       "vtq-cli: could not open /dev/zero: the file is too large to be a design file\n"},
      {{"open", binary}, "vtq-cli: could not open " + binary + ": it is not a design file\n"},
      // Fails at once rather than waiting for a reader that never comes.
      {{"save", pipe}, "vtq-cli: could not save " + pipe + ": no program is reading from it\n"},
  };
  for (const auto& c : cases) {
    Result r = Cli(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace vtq::cli
