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
        one.status == 0
            ? nlohmann::ordered_json::parse(one.out).dump()
            : nlohmann::ordered_json{{"line", i + 1}, {"error", one.err.substr(9, one.err.size() - 10)}}
                  .dump());
  }
  const Result fromJson = Batch(jsonl, false);
  EXPECT_EQ(Lines(fromJson.out), expected);
  EXPECT_EQ(fromJson.status, kExitUsage) << "some lines ask for an input again";
  // The same option sets as CSV: each line one further down, under the header.
  const std::vector<std::string> fromCsv = Lines(Batch(csv, true).out);
  ASSERT_EQ(fromCsv.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i].starts_with("{\"line\"")) continue;
    EXPECT_EQ(fromCsv[i], expected[i]) << i;
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
    const std::vector<std::string> out = Lines(Batch(bad + "\n\n{\"current\":2}\n", false).out);
    ASSERT_EQ(out.size(), 2u) << bad;
    EXPECT_EQ(out[0], says);
    EXPECT_EQ(nlohmann::json::parse(out[1])["outputs"]["txtPN"], "QN-80111-KX");
  }
  const std::vector<std::string> csv = Lines(Batch("current,main\r\n2\n\"2,1\n2,\"0.5\"\n", true).out);
  EXPECT_EQ(csv, (std::vector<std::string>{"{\"line\":2,\"error\":\"1 fields under a header of 2\"}",
                                           "{\"line\":3,\"error\":\"an unclosed quote\"}",
                                           Lines(Batch("{\"current\":2,\"main\":0.5}", false).out)[0]}));
  EXPECT_EQ(Cli({"batch", "/nonexistent/in.jsonl"}).status, kExitFailure);
}

}  // namespace
}  // namespace vtq::cli
