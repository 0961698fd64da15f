#include "app/LaunchDialogStore.h"

#include <ini.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/ConfigFiles.h"
#include "engine/QuillLogger.h"

namespace {

constexpr const char* kSection = "launch";

std::string Encode(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        const bool edge = (i == 0 || i + 1 == value.size()) && c == ' ';
        if (c == '%' || c == ';' || c < ' ' || c > '~' || edge) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Decode(const char* value, std::string& out)
{
    out.clear();
    for (const char* p = value; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const int high = HexDigit(p[1]);
        const int low = high < 0 ? -1 : HexDigit(p[2]);
        if (low < 0)
            return false;
        out += char(high * 16 + low);
        p += 2;
    }
    return true;
}

struct Reading {
    RememberedLaunch values;
    std::string problem;
};

// inih calls this for every name=value; a zero return marks the line bad.
int OnSetting(void* user, const char* section, const char* name, const char* value)
{
    Reading& reading = *static_cast<Reading*>(user);
    if (std::strcmp(section, kSection) != 0)
        return 1;  // other sections belong to later versions
    std::string text;
    if (!Decode(value, text)) {
        reading.problem = std::string("bad escape in ") + name;
        return 0;
    }
    if (std::strcmp(name, "name") == 0) {
        reading.values.name = text;
    } else if (std::strcmp(name, "address") == 0) {
        reading.values.address = text;
    } else if (std::strcmp(name, "server") == 0) {
        if (text != "0" && text != "1") {
            reading.problem = "server is neither 0 nor 1";
            return 0;
        }
        reading.values.host = text == "1";
    }
    return 1;
}

}  // namespace

std::string LaunchSettingsPath(const char* xdgConfigHome, const char* home)
{
    return Quill::ConfigFilePath(xdgConfigHome, home, "launch.ini");
}

std::string LaunchSettingsPath()
{
    return Quill::ConfigFilePath("launch.ini");
}

bool LoadRememberedLaunch(const std::string& path, RememberedLaunch& out)
{
    if (path.empty())
        return false;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        if (errno != ENOENT)
            Quill::Logger()->Log("launch settings: cannot read %s: %s; not used", path.c_str(),
                                 std::strerror(errno));
        return false;
    }
    Reading reading;
    const int result = ini_parse_file(file, OnSetting, &reading);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        Quill::Logger()->Log("launch settings: cannot read %s; not used", path.c_str());
        return false;
    }
    if (result != 0) {
        Quill::Logger()->Log("launch settings: %s:%d: %s; the file is not used", path.c_str(), result,
                             reading.problem.empty() ? "not a setting" : reading.problem.c_str());
        return false;
    }
    out = reading.values;
    return true;
}

bool SaveRememberedLaunch(const std::string& path, const RememberedLaunch& remembered)
{
    if (path.empty())
        return false;
    const std::string temporary = path + ".new";
    std::FILE* file = Quill::MakeParentFolders(path) ? std::fopen(temporary.c_str(), "w") : nullptr;
    if (!file) {
        Quill::Logger()->Log("launch settings: cannot write %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    std::fprintf(file,
                 "# The choices of the last launch, offered again at the next start.\n"
                 "[%s]\nname=%s\nserver=%d\naddress=%s\n",
                 kSection, Encode(remembered.name).c_str(), remembered.host ? 1 : 0,
                 Encode(remembered.address).c_str());
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int savedErrno = errno;
    // A half-written file must not replace a good one.
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        Quill::Logger()->Log("launch settings: cannot write %s: %s", path.c_str(),
                             std::strerror(written ? errno : savedErrno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
