// JSON text written straight into a string, byte for byte as nlohmann::json's dump lays out
// the same document, without building one: a batch writes a kilobyte and a half a design,
// and the document's nodes cost more than the design.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vtq::cli {

class JsonWriter {
 public:
  // Invalid UTF-8 in a text: kStrict throws as dump does by default, kReplace writes U+FFFD.
  enum class Utf8 { kStrict, kReplace };

  // Appends to `out`, indented by `indent` spaces a level, or on one line when negative.
  explicit JsonWriter(std::string& out, int indent = -1, Utf8 utf8 = Utf8::kStrict)
      : out_(out), indent_(indent), utf8_(utf8) {}

  // Objects and arrays nest up to 31 deep; a value in an object follows its Key.
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(std::string_view key);

  JsonWriter& String(std::string_view text);
  JsonWriter& Integer(std::int64_t value);
  // The shortest text that reads back as the value, a fraction shown even when whole
  // ("2.0"); null when not finite.
  JsonWriter& Double(double value);
  JsonWriter& Null();

 private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  // Before a value: the separator from the one before it, and the value's indentation.
  void Separate();
  void Escaped(std::string_view text);

  std::string& out_;
  int indent_;
  Utf8 utf8_;
  int depth_ = 0;
  std::uint32_t nonEmpty_ = 0;  // bit d: the open object or array at depth d holds something
  bool afterKey_ = false;
};

}  // namespace vtq::cli
