#include <gtest/gtest.h>

#include "files/cp1252.h"
#include "files/design_file.h"

namespace vtq::files {
namespace {

DesignRecords Sample() {
  return {"Impedance", 400.0f, "S", "50", "2.5", "150000", 25.4f, 7};
}

TEST(DesignText, TextsThatCannotReadBackTheSameAreRefused) {
  // Breaks, control characters (which Open refuses), a sign outside the code page, bad UTF-8.
  for (const char* text : {"1\r\n2", "1\n", "1\x01", "5\x7F", "\xE2\x89\xA4 5", "\xC3"}) {
    DesignRecords r = Sample();
    r.Current = text;
    EncodedFile f = WriteDesignText(r);
    EXPECT_TRUE(f.bytes.empty()) << text;
    EXPECT_NE(f.problem.find("The current holds"), std::string::npos) << f.problem;
  }
}

TEST(DesignText, CodePageTextsSurviveBothWays) {
  DesignRecords r = Sample();
  r.MainInput = "5\xC2\xB5 \xE2\x82\xAC\xC3\xA9";  // "5µ €é"
  r.Current = "say \"5\" A";                       // quotes inside a text are kept, unescaped
  EncodedFile f = WriteDesignText(r);
  ASSERT_TRUE(f.problem.empty());
  EXPECT_NE(f.bytes.find("\"5\xB5 \x80\xE9\"\r\n"), std::string::npos);
  DecodedFile back = ReadDesignText(f.bytes);
  EXPECT_EQ(back.count, kRecordCount);
  EXPECT_EQ(back.records.MainInput, r.MainInput);
  EXPECT_EQ(back.records.Current, r.Current);
  // Every byte reads as some character and writes back as itself.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(DesignText, ReaderRules) {
  struct Case {
    const char* name;
    std::string bytes;
    int count;
    std::string mode, main;
    Single density, factor;
    Integer core;
  };
  const std::string tail = "\"N\"\r\n\"1\"\r\n\"5\"\r\n\"10000\"\r\n";
  const Case cases[] = {
      {"plain", "\"Inductance\"\r\n400\r\n" + tail + "1\r\n0\r\n", 8, "Inductance", "1", 400, 1, 0},
      {"LF ends, no final end", "\"Voltage\"\n400\n\"N\"\n\"117\"\n\"5\"\n\"1\"\n25.4\n3", 8, "Voltage",
       "117", 400, 25.4f, 3},
      {"CR ends", "\"Voltage\"\r12.5\r\"N\"\r\"x\"\r\"5\"\r\"1\"\r1\r24\r", 8, "Voltage", "x", 12.5f, 1, 24},
      {"unquoted, blanks around", "  Voltage \r\n \"400\" \r\n" + tail + " 1 \r\n 2 \r\n", 8, "Voltage", "1",
       400, 1, 2},
      {"unclosed quote", "\"Volt\r\n400\r\n\"N\"\r\n\"  7\r\n\"5\"\r\n\"1\"\r\n1\r\n0\r\n", 8, "Volt", "  7",
       400, 1, 0},
      {"text in numbers reads 0", "\"Inductance\"\r\nabc\r\n" + tail + "one\r\n\"\"\r\n", 8, "Inductance",
       "1", 0, 0, 0},
      {"rows round half to even", "\"I\"\r\n1e2\r\n" + tail + "25.4\r\n2.5\r\n", 8, "I", "1", 100, 25.4f, 2},
      {"big row stops at record 8", "\"I\"\r\n400\r\n" + tail + "1\r\n40000\r\n", 7, "I", "1", 400, 1, 0},
      {"huge density stops at 2", "\"I\"\r\n1e39\r\n" + tail + "1\r\n0\r\n", 1, "I", "", 0, 1, 0},
      {"extra lines ignored", "\"I\"\r\n400\r\n" + tail + "1\r\n-4\r\njunk\r\n", 8, "I", "1", 400, 1, -4},
      {"blank line is an empty record", "\"I\"\r\n\r\n" + tail + "1\r\n0\r\n", 8, "I", "1", 0, 1, 0},
      {"short", "\"Voltage\"\r\n300\r\n\"R\"\r\n", 3, "Voltage", "", 300, 1, 0},
      {"no core record", "\"I\"\r\n400\r\n" + tail + "1\r\n", 7, "I", "1", 400, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedFile f = ReadDesignText(c.bytes);
    EXPECT_EQ(f.count, c.count);
    EXPECT_EQ(f.problem.empty(), c.count == kRecordCount) << f.problem;
    const DesignRecords& r = f.records;
    EXPECT_EQ(std::tie(r.DesignModeName, r.MainInput, r.CurrentDensity, r.UnitFactor, r.DesignCore),
              std::tie(c.mode, c.main, c.density, c.factor, c.core));
  }
  EXPECT_EQ(ReadDesignText("\"I\"\r\n1e39\r\n").problem, "record 2 is a number too large to read");
}

}  // namespace
}  // namespace vtq::files
