// The single-byte code page of design files. Files are exchanged with machines whose
// text is Windows-1252, while every text inside the program is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vtq::files {

// Every byte has a character: the five bytes the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so any
// file reads, and what was read writes back as the same bytes.
std::string Cp1252ToUtf8(std::string_view bytes);

// Nothing when the text holds a character the code page has no byte for, or is not
// valid UTF-8; the first such character's position (in bytes) goes to *badAt.
std::optional<std::string> Utf8ToCp1252(std::string_view text, std::size_t* badAt = nullptr);

}  // namespace vtq::files
