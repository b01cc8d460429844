// vtq-cli batch: each line's design exactly as `design --json` gives it, the run going on
// past lines that give none.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "support/run_cli.h"
#include "support/scratch.h"

namespace vtq::cli {
namespace {

using harness::Cli;
using harness::Result;

Result Batch(const std::string& input, bool csv) {
  // A folder of this process's own: other test runs on the machine write theirs at the same time.
  const test::ScratchFolder dir;
  const std::string path = dir / "batch_input";
  test::Write(path, input);
  return csv ? Cli({"batch", "--csv", path}) : Cli({"batch", path});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Batch, EachLineIsTheDesignOfItsOptionsOrWhyNot) {
  std::mt19937 rng(15);
  const std::vector<std::vector<std::string>> values = {{"inductance", "impedance", "voltage"},
                                                        {"0.5", "120", "abc", "1e39", ""},
                                                        {"2", "0", "30"},
                                                        {"10000", "-1"},
                                                        {"400", "150"},
                                                        {"D", "N", "R"},
                                                        {"in", "mm"},
                                                        {"", "3", "24"}};
  const char* keys[] = {"mode", "main", "current", "frequency", "density", "material", "units", "core"};
  std::string jsonl, csv = "mode,main,current,frequency,density,material,units,core\n";
  std::vector<std::string> expected;
  for (int i = 0; i < 60; ++i) {
    std::vector<std::string> args{"design", "--json"};
    nlohmann::json line;
    for (std::size_t k = 0; k < values.size(); ++k) {
      const std::string& v = values[k][rng() % values[k].size()];
      line[keys[k]] = v;
      csv += (k ? "," : "") + ("\"" + v + "\"");
      if (!v.empty() || k < 5) args.insert(args.end(), {std::string("--") + keys[k], v});
    }
    jsonl += line.dump() + "\n";
    csv += "\n";
    const Result one = Cli(args);
    // A prompt comes back as the line's number and the prompt's first line.
    expected.push_back(
        one.status != kExitUsage
            ? nlohmann::ordered_json::parse(one.out).dump()
            : nlohmann::ordered_json{{"line", i + 1}, {"error", one.err.substr(9, one.err.size() - 10)}}
                  .dump());
  }
  const Result fromJson = Batch(jsonl, false);
  EXPECT_EQ(Lines(fromJson.out), expected);
  EXPECT_EQ(fromJson.status, kExitUsage) << "some lines ask for an input again";
  // The same option sets as CSV: each line one further down, under the header.
  const std::vector<std::string> fromCsv = Lines(Batch(csv, true).out);
  ASSERT_EQ(fromCsv.size(), expected.size() + 1);
  EXPECT_TRUE(fromCsv[0].starts_with("{\"line\":1,\"header\":[\"mode\",")) << fromCsv[0];
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i].starts_with("{\"line\"")) continue;
    EXPECT_EQ(fromCsv[i + 1], expected[i]) << i;
  }
}

TEST(Batch, ABadLineIsReportedAndTheRunGoesOn) {
  const std::pair<std::string, const char*> cases[] = {
      {"[1]", "{\"line\":1,\"error\":\"not a JSON object\"}"},
      {"{\"frobs\":1}", "{\"line\":1,\"error\":\"unknown key 'frobs'\"}"},
      {"{\"mode\":\"power\"}", "{\"line\":1,\"error\":\"'power' is not a value of mode\"}"},
      {"{\"core\":2.5}", "{\"line\":1,\"error\":\"core must be a whole number from 1 to 24\"}"},
      {"{\"core\":1e10}", "{\"line\":1,\"error\":\"core must be a whole number from 1 to 24\"}"},
      {"{\"main\":true}", "{\"line\":1,\"error\":\"the value of main is neither a text nor a number\"}"},
  };
  for (const auto& [bad, says] : cases) {
    const std::vector<std::string> out = Lines(Batch(bad + "\n{\"current\":2}\n", false).out);
    ASSERT_EQ(out.size(), 2u) << bad;
    EXPECT_EQ(out[0], says);
    EXPECT_EQ(nlohmann::json::parse(out[1])["outputs"]["txtPN"], "QN-80111-KX");
  }
  const std::vector<std::string> csv = Lines(Batch("current,main\r\n2\n\"2,1\n2,\"0.5\"\n", true).out);
  EXPECT_EQ(csv, (std::vector<std::string>{"{\"line\":1,\"header\":[\"current\",\"main\"]}",
                                           "{\"line\":2,\"error\":\"1 fields under a header of 2\"}",
                                           "{\"line\":3,\"error\":\"an unclosed quote\"}",
                                           Lines(Batch("{\"current\":2,\"main\":0.5}", false).out)[0]}));
  EXPECT_EQ(Cli({"batch", "/nonexistent/in.jsonl"}).status, kExitFailure);
}

// However a file ends its lines, and whatever a line holds, the n-th answer is the n-th
// line's: a script pairs them by position.
TEST(Batch, EveryInputLineGetsExactlyOneAnswer) {
  std::string manyKeys = "{";
  for (int k = 0; k < 100; ++k) manyKeys += "\"k" + std::to_string(k) + "\":1,";
  manyKeys.back() = '}';
  const std::string design = "{\"outputs\"";
  const struct {
    std::string input;
    bool csv;
    std::vector<std::string> starts;  // the start of each output line
  } cases[] = {
      {"{\"current\":2}\r{\"current\":3}\r", false, {design, design}},  // old Mac line ends
      {"{\"current\":2}\n \n", false, {design, "{\"line\":2,\"error\":\"a blank line\"}"}},
      {"\xEF\xBB\xBF"
       "current\r\n2\r\n",
       true,
       {"{\"line\":1,\"header\":[\"current\"]}", design}},
      {"frob,main\n2,1\n",
       true,
       {"{\"line\":1,\"error\":\"unknown key 'frob' in the header\"}",
        "{\"line\":2,\"error\":\"no header to read the line by\"}"}},
      {std::string(70000, ' ') + "x\n{\"current\":2}",
       false,
       {"{\"line\":1,\"error\":\"the line is longer than 65536 bytes\"}", design}},
      {manyKeys + "\n", false, {"{\"line\":1,\"error\":\"more than 64 keys\"}"}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> out = Lines(Batch(c.input, c.csv).out);
    ASSERT_EQ(out.size(), c.starts.size()) << c.input.substr(0, 40);
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(out[i].starts_with(c.starts[i])) << out[i];
  }
  // A design that stops early is still printed, said incomplete, and sets the status.
  const Result tooLarge = Batch("{\"mode\":\"impedance\",\"main\":100000,\"current\":50}\n", false);
  EXPECT_EQ(nlohmann::json::parse(tooLarge.out)["complete"], false);
  EXPECT_EQ(tooLarge.status, kExitIncomplete);
}

}  // namespace
}  // namespace vtq::cli
