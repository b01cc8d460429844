#include "files/design_file.h"

#include <array>
#include <functional>
#include <optional>

#include "files/cp1252.h"

namespace vtq::files {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A text record: the text in double quotes, in the code page's bytes. Nothing when
// it cannot be stored so that it reads back the same.
std::optional<std::string> Quoted(std::string_view text, std::string_view name, std::string& problem) {
  std::optional<std::string> bytes;
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    if (problem.empty())
      problem = std::string(name) + " holds a line break, which a design file cannot store";
  } else if (!IsText(text)) {
    // Written, such a file would be refused by Open as not a design file.
    if (problem.empty())
      problem = std::string(name) + " holds a control character, which a design file cannot store";
  } else if (!(bytes = Utf8ToCp1252(text))) {
    if (problem.empty()) problem = std::string(name) + " holds a character that a design file cannot store";
  } else {
    return '"' + *bytes + '"';
  }
  return std::nullopt;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// One line of the file, cut at its line end; `rest` moves past it. Nothing when the
// text has no more lines.
std::optional<std::string_view> NextLine(std::string_view& rest) {
  if (rest.empty()) return std::nullopt;
  std::size_t end = rest.find_first_of("\r\n");
  std::string_view line = rest.substr(0, end);
  if (end == std::string_view::npos) {
    rest = {};
  } else {
    std::size_t next = end + 1;
    if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n') ++next;
    rest.remove_prefix(next);
  }
  return line;
}

std::string_view Field(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  if (line.empty() || line.front() != '"') return line;
  line.remove_prefix(1);
  std::size_t close = line.rfind('"');
  return close == std::string_view::npos ? line : line.substr(0, close);
}

double NumberOf(std::string_view field) {
  return num::ParseStrict(field).value_or(0.0);
}

}  // namespace

EncodedFile WriteDesignText(const DesignRecords& r) {
  EncodedFile file;
  std::string& problem = file.problem;
  const std::array<std::optional<std::string>, kRecordCount> lines = {
      Quoted(r.DesignModeName, "The design mode", problem),
      num::SingleText(r.CurrentDensity),
      Quoted(r.MaterialLetter, "The material", problem),
      Quoted(r.MainInput, "The main input", problem),
      Quoted(r.Current, "The current", problem),
      Quoted(r.SecondInput, "The cutoff frequency", problem),
      num::SingleText(r.UnitFactor),
      num::IntegerText(r.DesignCore),
  };
  if (!problem.empty()) return file;
  for (const auto& line : lines) {
    file.bytes += *line;
    file.bytes += kLineEnd;
  }
  return file;
}

DecodedFile ReadDesignText(std::string_view bytes) {
  DecodedFile file;
  DesignRecords& r = file.records;
  std::string_view rest = bytes;
  // Each step reads one record into its field; false when the reading stops there.
  auto text = [&](std::string DesignRecords::*field) {
    std::optional<std::string_view> line = NextLine(rest);
    if (!line) return false;
    r.*field = Cp1252ToUtf8(Field(*line));
    return true;
  };
  auto single = [&](Single DesignRecords::*field) {
    std::optional<std::string_view> line = NextLine(rest);
    if (!line) return false;
    double value = NumberOf(Field(*line));
    try {
      r.*field = num::ToSingle(value);
    } catch (const StepFailed&) {
      file.problem = "record " + std::to_string(file.count + 1) + " is a number too large to read";
      return false;
    }
    return true;
  };
  auto integer = [&](Integer DesignRecords::*field) {
    std::optional<std::string_view> line = NextLine(rest);
    if (!line) return false;
    double value = NumberOf(Field(*line));
    try {
      r.*field = num::ToInteger(value);
    } catch (const StepFailed&) {
      file.problem = "record " + std::to_string(file.count + 1) + " is a number outside -32768 to 32767";
      return false;
    }
    return true;
  };
  const std::array<std::function<bool()>, kRecordCount> steps = {
      [&] { return text(&DesignRecords::DesignModeName); },
      [&] { return single(&DesignRecords::CurrentDensity); },
      [&] { return text(&DesignRecords::MaterialLetter); },
      [&] { return text(&DesignRecords::MainInput); },
      [&] { return text(&DesignRecords::Current); },
      [&] { return text(&DesignRecords::SecondInput); },
      [&] { return single(&DesignRecords::UnitFactor); },
      [&] { return integer(&DesignRecords::DesignCore); },
  };
  for (const auto& step : steps) {
    if (!step()) break;
    ++file.count;
  }
  if (file.count < kRecordCount && file.problem.empty()) {
    file.problem = "the file ends after " + std::to_string(file.count) + " of its " +
                   std::to_string(kRecordCount) + " records";
  }
  return file;
}

bool IsText(std::string_view bytes) {
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t' && c != '\r' && c != '\n') || u == 0x7F) return false;
  }
  return true;
}

}  // namespace vtq::files
