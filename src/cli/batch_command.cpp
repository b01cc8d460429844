// vtq-cli batch: many designs in one process, one option set a line in, one design a
// line out, streaming, so a script pays the process start once.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/json_writer.h"
#include "engine/catalogue.h"

namespace vtq::cli {
namespace {

// Sets one design option from its text as typed; the reason when the text is not one of
// the option's values. An empty text leaves a choice at its default.
std::string SetOption(DesignArgs& a, std::string_view key, std::string value) {
  auto choice = [&](std::string& target, const std::vector<std::string>& allowed) -> std::string {
    if (value.empty()) return {};
    for (const std::string& v : allowed) {
      if (value == v) {
        target = std::move(value);
        return {};
      }
    }
    return "'" + value + "' is not a value of " + std::string(key);
  };
  DesignOptions& o = a.options;
  if (key == "mode") return choice(a.mode, ModeWords());
  if (key == "material") return choice(a.material, MaterialLetters());
  if (key == "units") return choice(a.units, UnitWords());
  // The four input boxes take their text as typed, checks and all.
  const std::pair<std::string_view, std::string*> texts[] = {
      {"main", &o.main}, {"current", &o.current}, {"frequency", &o.frequency}, {"density", &o.density}};
  for (const auto& [name, target] : texts) {
    if (key == name) {
      *target = std::move(value);
      return {};
    }
  }
  if (key != "core") return "unknown key '" + std::string(key) + "'";
  if (value.empty()) return {};
  const std::optional<double> row = num::ParseStrict(value);
  // The same rows as the --core option takes. Range first: converting a double outside
  // an integer's range is undefined.
  if (!row || !(*row >= 1 && *row <= kCoreCount) || *row != std::floor(*row)) {
    return "core must be a whole number from 1 to " + std::to_string(kCoreCount);
  }
  o.core = static_cast<Integer>(*row);
  return {};
}

// One JSON object read as it streams past, without building a document: each key's value
// as the text SetOption takes, or not usable (true, false, an object, an array).
class OptionObject final : public nlohmann::json_sax<nlohmann::json> {
 public:
  struct Value {
    std::string key, text;
    bool usable;
  };

  // A design has eight options; an object of many more keys is no option set, and the
  // look-up of each new key among those before it must not grow without bound.
  static constexpr std::size_t kMaxKeys = 64;

  // The values by key, a repeated key's last, in values(); false when the line is no JSON object.
  bool Read(const std::string& line) {
    values_.clear();
    tooMany_ = false;
    if (!ReadPlain(line)) {
      values_.clear();
      depth_ = 0;
      object_ = false;
      if (!nlohmann::json::sax_parse(line, this) || !object_) return false;
    }
    // In the order of the keys' names, as a parsed document lists them.
    sorted_.clear();
    for (const Value& v : values_) sorted_.push_back(&v);
    std::sort(sorted_.begin(), sorted_.end(), [](const Value* a, const Value* b) { return a->key < b->key; });
    return true;
  }
  const std::vector<const Value*>& values() const { return sorted_; }
  bool tooMany() const { return tooMany_; }

  bool null() override { return Scalar({}, true); }
  bool boolean(bool) override { return Scalar({}, false); }
  bool number_integer(number_integer_t v) override { return Scalar(std::to_string(v), true); }
  bool number_unsigned(number_unsigned_t v) override { return Scalar(std::to_string(v), true); }
  bool number_float(number_float_t v, const string_t&) override {
    std::string text;
    JsonWriter(text).Double(v);  // as the document would print the number, not as typed
    return Scalar(std::move(text), true);
  }
  bool string(string_t& v) override { return Scalar(std::move(v), true); }
  bool binary(binary_t&) override { return Scalar({}, false); }
  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& k) override {
    if (depth_ == 1) key_ = std::move(k);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  // The usual line, a flat object of plain ASCII texts ({"main":"2","units":"mm"}), read in
  // one pass; false on anything else (a number, an escape, nesting, a fault), which the
  // full parser then reads.
  bool ReadPlain(std::string_view line) {
    std::size_t i = 0;
    auto at = [&](char c) { return i < line.size() && line[i] == c; };
    auto space = [&] {
      while (at(' ') || at('\t') || at('\n') || at('\r')) ++i;
    };
    auto text = [&](std::string& into) {
      if (!at('"')) return false;
      const std::size_t start = ++i;
      for (; i < line.size() && line[i] != '"'; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x80 || c == '\\') return false;
      }
      if (!at('"')) return false;
      into.assign(line.substr(start, i++ - start));
      return true;
    };
    space();
    if (!at('{')) return false;
    ++i;
    space();
    for (bool first = true; !at('}'); first = false) {
      if (!first) {
        if (!at(',')) return false;
        ++i;
        space();
      }
      std::string value;
      if (!text(key_)) return false;
      space();
      if (!at(':')) return false;
      ++i;
      space();
      if (!text(value)) return false;
      Set(std::move(value), true);
      space();
    }
    ++i;
    space();
    return i == line.size();
  }

  // Only the outer object's own values count; what nests inside them is passed over.
  bool Scalar(std::string text, bool usable) {
    if (depth_ == 0) return false;  // a lone text or number: no object
    if (depth_ == 1) Set(std::move(text), usable);
    return true;
  }
  bool Open(bool object) {
    if (depth_ == 0 && !object) return false;
    if (depth_ == 0) object_ = true;
    if (depth_ == 1) Set({}, false);
    ++depth_;
    return true;
  }
  bool Close() {
    --depth_;
    return true;
  }
  void Set(std::string text, bool usable) {
    for (Value& v : values_) {
      if (v.key == key_) {
        v = {key_, std::move(text), usable};
        return;
      }
    }
    if (values_.size() >= kMaxKeys) {
      tooMany_ = true;
      return;
    }
    values_.push_back({key_, std::move(text), usable});
  }

  std::vector<Value> values_;
  std::vector<const Value*> sorted_;
  std::string key_;
  int depth_ = 0;
  bool object_ = false, tooMany_ = false;
};

// One JSON object: the keys of the design options, each a text or a number.
std::string ReadJsonLine(OptionObject& reader, const std::string& line, DesignArgs& a) {
  const bool read = reader.Read(line);
  if (reader.tooMany()) return "more than " + std::to_string(OptionObject::kMaxKeys) + " keys";
  if (!read) return "not a JSON object";
  for (const auto* value : reader.values()) {
    const auto& [key, text, usable] = *value;
    if (!usable) return "the value of " + key + " is neither a text nor a number";
    if (std::string why = SetOption(a, key, text); !why.empty()) return why;
  }
  return {};
}

// Splits one CSV record: fields by commas, a quoted field may hold commas and doubled
// quotes. Records do not span lines.
std::optional<std::vector<std::string>> SplitCsv(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

class Batch {
 public:
  Batch(std::ostream& out, bool csv) : out_(out), csv_(csv) {}

  // One input line, one output line: the design, or an error object naming the line (a
  // blank line too, so that the n-th answer is always the n-th line's). Reading CSV, the
  // first line is the header, answered with the option names it gives.
  void Line(std::string& line) {
    ++number_;
    if (line.find_first_not_of(" \t") == std::string::npos) return Refuse("a blank line");
    if (csv_ && !read_header_) {
      read_header_ = true;
      header_ = SplitCsv(line);
      if (!header_) return Refuse("the header has an unclosed quote");
      DesignArgs probe;
      for (const std::string& key : *header_) {
        // An empty text sets nothing: only the key itself is checked.
        if (std::string why = SetOption(probe, key, {}); !why.empty()) {
          header_.reset();
          return Refuse(why + " in the header");
        }
      }
      JsonWriter json(buffer_, -1, Utf8::kReplace);
      json.BeginObject().Key("line").Integer(number_).Key("header").BeginArray();
      for (const std::string& key : *header_) json.String(key);
      json.EndArray().EndObject();
      return End();
    }
    DesignArgs args;
    const std::string why = csv_ ? ReadCsvLine(line, args) : ReadJsonLine(reader_, line, args);
    if (!why.empty()) return Refuse(why);
    ShellHost host;
    WindowModel model(host);
    try {
      ComputeDesign(model, host, args.Resolve());
    } catch (const PromptRequired& p) {
      return Refuse(p.firstLine);
    }
    WriteDesignJson(buffer_, model, host, -1);
    if (model.window.outcome != DesignOutcome::Complete) ++incomplete;
    End();
  }

  // A line that cannot be an option set, read to its end and answered in its place: too
  // long to hold, or holding a NUL byte.
  void Unreadable(BatchInput::Read read, std::size_t cap) {
    ++number_;
    Refuse(read == BatchInput::Read::TooLong ? "the line is longer than " + std::to_string(cap) + " bytes"
                                             : "the line holds a NUL byte");
  }

  // Hands the lines written so far to the stream.
  void Flush() {
    out_ << buffer_;
    buffer_.clear();
  }

  int refused = 0, incomplete = 0;

 private:
  std::string ReadCsvLine(const std::string& line, DesignArgs& a) const {
    if (!header_) return "no header to read the line by";
    const auto fields = SplitCsv(line);
    if (!fields) return "an unclosed quote";
    if (fields->size() != header_->size()) {
      return std::to_string(fields->size()) + " fields under a header of " + std::to_string(header_->size());
    }
    for (std::size_t i = 0; i < fields->size(); ++i) {
      if (std::string why = SetOption(a, (*header_)[i], (*fields)[i]); !why.empty()) return why;
    }
    return {};
  }

  // In the place of the design: the line's number and why it gave none (what the window
  // would have asked for again, or what is wrong with the line).
  void Refuse(const std::string& why) {
    ++refused;
    JsonWriter(buffer_, -1, Utf8::kReplace)
        .BeginObject()
        .Key("line")
        .Integer(number_)
        .Key("error")
        .String(why)
        .EndObject();
    End();
  }

  // Lines go to the stream some tens of kilobytes at a time: a stream passes a line of a
  // kilobyte or more straight to the system, one call a line.
  void End() {
    buffer_ += '\n';
    if (buffer_.size() >= kChunk) Flush();
  }

  static constexpr std::size_t kChunk = 1 << 16;
  std::ostream& out_;
  bool csv_;
  long number_ = 0;
  bool read_header_ = false;
  std::optional<std::vector<std::string>> header_;
  OptionObject reader_;
  std::string buffer_;
};

}  // namespace

void RegisterBatchCommand(Commands& commands) {
  CLI::App* cmd = commands.app.add_subcommand(
      "batch", "Compute one design per input line, each printed on one line as 'design --json' prints it");
  auto path = std::make_shared<std::string>();
  auto csv = std::make_shared<bool>(false);
  cmd->add_option("FILE", *path, "Option sets, one a line (default or '-': standard input)");
  cmd->add_flag("--csv", *csv, "Read comma-separated values under a header of option names, not JSON Lines");
  commands.actions.emplace_back(cmd, [path, csv](std::ostream& out, std::ostream& err) {
    const std::string name = path->empty() ? "-" : *path;
    BatchInput in;
    if (!in.Open(name)) {
      err << "vtq-cli: cannot read " << Printable(name) << ": " << in.error() << "\n";
      return kExitFailure;
    }
    Batch batch(out, *csv);
    for (std::string line;;) {
      // A reader waiting on our answers gets them before we wait on more input.
      if (!in.Ready()) {
        batch.Flush();
        out.flush();
      }
      const BatchInput::Read read = in.Next(line);
      if (read == BatchInput::Read::End) break;
      if (read == BatchInput::Read::Line) {
        batch.Line(line);
      } else {
        batch.Unreadable(read, in.LineCap());
      }
    }
    batch.Flush();
    if (!in.error().empty()) {
      err << "vtq-cli: reading " << Printable(name) << " failed: " << in.error() << "\n";
      return kExitFailure;
    }
    if (batch.refused > 0) {
      err << "vtq-cli: " << batch.refused << " line(s) gave no design\n";
      return kExitUsage;
    }
    if (batch.incomplete > 0) {
      err << "vtq-cli: " << batch.incomplete << " design(s) did not complete (\"complete\": false)\n";
      return kExitIncomplete;
    }
    return kExitOk;
  });
}

}  // namespace vtq::cli
