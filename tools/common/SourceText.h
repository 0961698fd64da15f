#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Line-oriented reading of the readable content sources. Every error names the
// file and line so that whoever edits a source can find the mistake.
namespace ktool {

class SourceError : public std::runtime_error {
public:
    explicit SourceError(const std::string& message) : std::runtime_error(message) {}
};

struct SourceLine {
    std::string file;
    int number = 0;
    std::string raw;                 // the line as written, without the newline
    std::vector<std::string> words;  // raw split on blanks, '#' comments removed

    [[noreturn]] void Fail(const std::string& message) const;
    bool Empty() const { return words.empty(); }
};

// Splits `text` into lines; `fileName` labels errors.
std::vector<SourceLine> SplitSource(const std::string& text, const std::string& fileName);

// Reads a whole file; throws SourceError naming the file when it cannot.
std::string ReadTextFile(const std::string& path);
std::vector<SourceLine> LoadSource(const std::string& path);

// Directory part of a path ("" for a bare name), for resolving includes.
std::string DirectoryOf(const std::string& path);
std::string JoinPath(const std::string& dir, const std::string& name);

// Number parsing that rejects trailing junk and out-of-range values.
int ParseInt(const SourceLine& line, const std::string& word, int lo, int hi, const char* what);
double ParseNumber(const SourceLine& line, const std::string& word, double lo, double hi, const char* what);

// Splits "a=b" into key and value; fails on the line when there is no '='.
void SplitKeyValue(const SourceLine& line, const std::string& word, std::string& key, std::string& value);

// Splits on a separator character, keeping empty parts.
std::vector<std::string> SplitOn(const std::string& text, char separator);

}  // namespace ktool
