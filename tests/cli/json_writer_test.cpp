// The direct JSON writer against the library it stands in for: the same document, the same bytes.
#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "support/run_cli.h"

namespace vtq::cli {
namespace {

TEST(JsonWriter, WritesTheBytesTheLibraryDumps) {
  const struct {
    std::string text;
    bool utf8;  // well-formed UTF-8
  } texts[] = {{"", true},
               {"q\"b\\s/", true},
               {std::string("\0\x01\b\t\n\x0b\f\r\x1f\x7f", 10), true},
               {"\xc2\xb5 \xe2\x82\xac \xf0\x9f\x98\x80", true},
               {"bad \xff", false},
               {"cut \xe2\x82", false},
               {"surrogate \xed\xa0\x80", false},
               {"overlong \xe0\x80\xaf", false},
               {"third of four \xf0\x9f\x41\x80", false}};
  const double numbers[] = {
      0.0,    -0.0,         2.0,     928.368, 1e-5, 0.0001, 1e15, 1e16, -3.4028234663852886e38,
      5e-324, std::nan(""), INFINITY};
  for (const int indent : {-1, 2}) {
    for (const auto utf8 : {Utf8::kStrict, Utf8::kReplace}) {
      nlohmann::ordered_json doc = {{"empty", nlohmann::json::object()}, {"none", nlohmann::json::array()}};
      std::string text;
      JsonWriter json(text, indent, utf8);
      json.BeginObject().Key("empty").BeginObject().EndObject().Key("none").BeginArray().EndArray();
      json.Key("texts").BeginArray();
      for (const auto& [t, wellFormed] : texts) {
        if (utf8 == Utf8::kStrict && !wellFormed) {
          std::string scrap;
          EXPECT_THROW(JsonWriter(scrap).String(t), nlohmann::json::type_error) << t;
          continue;
        }
        json.String(t);
        doc["texts"].push_back(t);
      }
      json.EndArray().Key("numbers").BeginArray();
      for (const double n : numbers) {
        json.Double(n);
        doc["numbers"].push_back(n);
      }
      json.EndArray().Key("whole").Integer(-32768).Key("null").Null().EndObject();
      doc["whole"] = -32768;
      doc["null"] = nullptr;
      const auto handler = utf8 == Utf8::kStrict ? nlohmann::json::error_handler_t::strict
                                                 : nlohmann::json::error_handler_t::replace;
      EXPECT_EQ(text, doc.dump(indent, ' ', false, handler)) << indent;
    }
  }
  // The design's own layout, keys written ready-made, is the library's layout of its content.
  const std::string design = harness::Cli({"design", "--json", "--material", "D", "--main", "900"}).out;
  EXPECT_EQ(design, nlohmann::ordered_json::parse(design).dump(2) + "\n");
}

}  // namespace
}  // namespace vtq::cli
