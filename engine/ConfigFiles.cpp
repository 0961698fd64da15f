#include "engine/ConfigFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Quill {

std::string ConfigFilePath(const char* xdgConfigHome, const char* home, const std::string& name)
{
    std::string base;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home && home[0] != '\0') {
        base = std::string(home) + "/.config";
    } else {
        return "";
    }
    return base + "/karsk/" + name;
}

std::string ConfigFilePath(const std::string& name)
{
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return ConfigFilePath(std::getenv("XDG_CONFIG_HOME"), home, name);
}

bool MakeParentFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        // Settings are private to their user, as the XDG base directory rules ask.
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool WriteFileWhole(const std::string& path, const std::string& text, std::string& error)
{
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    const std::string temporary = path + ".new";
    std::FILE* file = MakeParentFolders(path) ? std::fopen(temporary.c_str(), "w") : nullptr;
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fflush(file) == 0 && std::ferror(file) == 0;
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(written ? errno : savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace Quill
