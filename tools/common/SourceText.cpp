#include "tools/common/SourceText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ktool {

void SourceLine::Fail(const std::string& message) const
{
    throw SourceError(file + ":" + std::to_string(number) + ": " + message);
}

std::vector<SourceLine> SplitSource(const std::string& text, const std::string& fileName)
{
    std::vector<SourceLine> lines;
    size_t start = 0;
    int number = 1;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        SourceLine line;
        line.file = fileName;
        line.number = number++;
        line.raw = text.substr(start, end - start);
        if (!line.raw.empty() && line.raw.back() == '\r')
            line.raw.pop_back();
        // A '#' starting a word starts a comment; inside a word (F#4) it does not.
        size_t hash = 0;
        while ((hash = line.raw.find('#', hash)) != std::string::npos &&
               !(hash == 0 || line.raw[hash - 1] == ' ' || line.raw[hash - 1] == '\t'))
            ++hash;
        std::string body = line.raw.substr(0, hash);
        std::istringstream in(body);
        std::string word;
        while (in >> word) line.words.push_back(word);
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw SourceError(path + ": cannot open");
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad())
        throw SourceError(path + ": read error");
    return out.str();
}

std::vector<SourceLine> LoadSource(const std::string& path)
{
    return SplitSource(ReadTextFile(path), path);
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || (!name.empty() && name[0] == '/'))
        return name;
    return dir + "/" + name;
}

int ParseInt(const SourceLine& line, const std::string& word, int lo, int hi, const char* what)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || errno != 0)
        line.Fail(std::string(what) + " must be a whole number, not '" + word + "'");
    if (value < lo || value > hi)
        line.Fail(std::string(what) + " " + word + " is outside " + std::to_string(lo) + ".." +
                  std::to_string(hi));
    return int(value);
}

double ParseNumber(const SourceLine& line, const std::string& word, double lo, double hi, const char* what)
{
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(word.c_str(), &end);
    if (word.empty() || *end != '\0' || errno != 0 || !std::isfinite(value))
        line.Fail(std::string(what) + " must be a number, not '" + word + "'");
    if (value < lo || value > hi) {
        std::ostringstream range;
        range << lo << ".." << hi;
        line.Fail(std::string(what) + " " + word + " is outside " + range.str());
    }
    return value;
}

void SplitKeyValue(const SourceLine& line, const std::string& word, std::string& key, std::string& value)
{
    size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0)
        line.Fail("expected key=value, found '" + word + "'");
    key = word.substr(0, eq);
    value = word.substr(eq + 1);
}

std::vector<std::string> SplitOn(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            break;
        start = at + 1;
    }
    return parts;
}

}  // namespace ktool
