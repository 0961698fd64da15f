#pragma once

#include <string>
#include <vector>

namespace Quill {

// Helpers shared by the engine's line-based text formats.

// The line without a '#' comment, trimmed of surrounding blanks.
std::string StripCommentAndTrim(const std::string& line);
std::vector<std::string> SplitWords(const std::string& line);
std::vector<std::string> SplitLines(const std::string& text);
// Plain decimal digits only (no sign, no blanks) and at most `limit`.
bool ParseDecimal(const std::string& text, unsigned long limit, unsigned long& out);
// Whole file into `text`; false with "cannot open <path>: <reason>" in `error`.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

}  // namespace Quill
