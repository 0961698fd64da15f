#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `args` in `cwd`, its output going to `output`, without $KARSK_DATA, so
// that the game has to find its data by itself, and without $DESTDIR, so that
// an install goes to the prefix itself. The exit status, or -1.
int RunProgram(const std::vector<std::string>& args, const std::string& cwd, const std::string& output)
{
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        unsetenv("KARSK_DATA");
        unsetenv("DESTDIR");
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace

// Installs the build into a fresh prefix inside a private folder, checks what
// it holds, and plays the installed game from another directory.
TEST(InstalledGame, HoldsTheGameItsDataAndTheDesktopEntryAndPlaysHeadlessFromAnotherDirectory)
{
    std::string pattern = TempPath("install") + "_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string dir = pattern, prefix = dir + "/prefix";
    struct Cleanup {
        std::string dir;
        ~Cleanup() { fs::remove_all(dir); }
    } cleanup{dir};
    ASSERT_EQ(RunProgram({KARSK_CMAKE_COMMAND, "--install", KARSK_BUILD_DIR, "--prefix", prefix}, dir,
                         dir + "/out.txt"),
              0)
        << ReadFile(dir + "/out.txt");

    EXPECT_EQ(access((prefix + "/bin/karsk").c_str(), X_OK), 0);
    for (const char* file : {"sprite.def", "overworld1.kmap", "sounds/Overworld.mp3"})
        EXPECT_TRUE(fs::is_regular_file(prefix + "/share/karsk/" + file)) << file;
    EXPECT_NE(ReadFile(prefix + "/share/applications/karsk.desktop").find("\nExec=karsk\n"),
              std::string::npos);
    // The build directory's own files stay behind.
    for (const auto& entry : fs::recursive_directory_iterator(prefix + "/share/karsk")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name != "CMakeFiles" && name != "Makefile" && name.find("cmake") == std::string::npos &&
                    entry.path().extension() != ".stamp" && entry.path().extension() != ".log")
            << entry.path();
    }
    // The icon in each size: see-through corners around an opaque picture.
    for (int size : {32, 64, 128, 256}) {
        const std::string edge = std::to_string(size);
        const std::string icon = prefix + "/share/icons/hicolor/" + edge + "x" + edge + "/apps/karsk.png";
        png_image info{};
        info.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&info, icon.c_str())) << icon;
        info.format = PNG_FORMAT_RGBA;
        std::vector<png_byte> rgba(PNG_IMAGE_SIZE(info));
        ASSERT_TRUE(png_image_finish_read(&info, nullptr, rgba.data(), 0, nullptr)) << icon;
        EXPECT_EQ(info.width, png_uint_32(size)) << icon;
        EXPECT_EQ(info.height, png_uint_32(size)) << icon;
        EXPECT_EQ(rgba[3], 0) << icon << ": the top left corner";
        size_t opaque = 0;
        for (size_t i = 3; i < rgba.size(); i += 4) opaque += rgba[i] == 255;
        EXPECT_GT(opaque, rgba.size() / 4 / 8) << icon;
    }

    const std::string elsewhere = dir + "/elsewhere", log = dir + "/karsk.log";
    ASSERT_TRUE(fs::create_directory(elsewhere));
    const int status =
        RunProgram({prefix + "/bin/karsk", "--headless", "--frames", "60", "--seed", "1", "--log", log},
                   elsewhere, dir + "/output.txt");
    EXPECT_EQ(status, 0) << ReadFile(dir + "/output.txt");
    // The seed line comes once the game has started; the art and the sounds
    // from share/karsk loaded without a complaint.
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("random seed: 1"), std::string::npos) << text;
    for (const char* complaint : {"cannot", "skipped", "missing", "LoadSpriteDef", "LoadImage"})
        EXPECT_EQ(text.find(complaint), std::string::npos) << complaint << " in\n" << text;
}
