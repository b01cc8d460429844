#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace vtq::cli {
namespace {

// The length of the well-formed UTF-8 sequence that starts text[i], or 0: no overlong forms,
// no surrogates, nothing above U+10FFFF, the same judgement as nlohmann's decoder.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// The text between its quotes.
void Escaped(std::string& out, std::string_view text, Utf8 utf8) {
  const std::size_t start = out.size();
  std::size_t plain = 0;  // the start of the run copied as it stands
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\' && c < 0x80) {
      ++i;
      continue;
    }
    out.append(text.substr(plain, i - plain));
    if (c >= 0x80) {
      const std::size_t length = SequenceLength(text, i);
      if (length == 0) {
        // Rare enough to leave to the library, which throws or replaces just as dump does.
        out.resize(start);
        const std::string quoted =
            nlohmann::json(std::string(text))
                .dump(-1, ' ', false,
                      utf8 == Utf8::kStrict ? nlohmann::json::error_handler_t::strict
                                            : nlohmann::json::error_handler_t::replace);
        out.append(quoted, 1, quoted.size() - 2);
        return;
      }
      out.append(text.substr(i, length));
      i += length;
    } else {
      static constexpr char kNamed[] = "btn\0fr";  // 0x08 to 0x0D; \0 where JSON has no name
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c >= 0x08 && c <= 0x0D && kNamed[c - 0x08] != '\0') {
        out += '\\';
        out += kNamed[c - 0x08];
      } else {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
      ++i;
    }
    plain = i;
  }
  out.append(text.substr(plain));
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text, Utf8 utf8) {
  out += '"';
  Escaped(out, text, utf8);
  out += '"';
}

void AppendJsonInteger(std::string& out, std::int64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void AppendJsonDouble(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  // The library's own digits, through its public dump: other shortest-digit writers choose
  // other digits for a few values, and the rest of the JSON the program writes is dumped by
  // the library, so a number reads the same wherever it is written.
  out += nlohmann::json(value).dump();
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  Separate();
  AppendJsonString(out_, key, utf8_);
  out_ += indent_ >= 0 ? ": " : ":";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  Separate();
  AppendJsonString(out_, text, utf8_);
  return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value) {
  Separate();
  AppendJsonInteger(out_, value);
  return *this;
}

JsonWriter& JsonWriter::Double(double value) {
  Separate();
  AppendJsonDouble(out_, value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Open(char bracket) {
  Separate();
  out_ += bracket;
  ++depth_;
  nonEmpty_ &= ~(1u << depth_);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  if (indent_ >= 0 && (nonEmpty_ & (1u << depth_)) != 0) {
    out_ += '\n';
    out_.append(static_cast<std::size_t>(depth_ - 1) * static_cast<std::size_t>(indent_), ' ');
  }
  --depth_;
  out_ += bracket;
  return *this;
}

void JsonWriter::Separate() {
  if (afterKey_ || depth_ == 0) {
    afterKey_ = false;
    return;
  }
  if ((nonEmpty_ & (1u << depth_)) != 0) out_ += ',';
  nonEmpty_ |= 1u << depth_;
  if (indent_ >= 0) {
    out_ += '\n';
    out_.append(static_cast<std::size_t>(depth_) * static_cast<std::size_t>(indent_), ' ');
  }
}

}  // namespace vtq::cli
