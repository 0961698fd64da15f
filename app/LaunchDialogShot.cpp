#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/LaunchDialog.h"
#include "engine/DialogWindow.h"
#include "engine/RunOptions.h"

namespace {

void Type(LaunchDialog& dialog, const std::string& text)
{
    for (char c : text) {
        Quill::DialogKeyPress press;
        press.text = c;
        dialog.KeyDown(press);
    }
}

}  // namespace

// karsk-dialog-shot <joining.bmp> <hosting.bmp>: pictures of the launch dialog
// for the docs, drawn headless: as it opens, and with a name typed and
// "Server" checked.
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: karsk-dialog-shot <joining.bmp> <hosting.bmp>\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const std::string dataDir = Quill::FindDataDirectory("", argv[0]);
    // The pictures' paths are taken before moving into the data directory.
    const std::string joining = std::filesystem::absolute(argv[1]).string();
    const std::string hosting = std::filesystem::absolute(argv[2]).string();
    if (dataDir.empty() || !Quill::EnterDataDirectory(dataDir)) {
        std::fprintf(stderr, "karsk-dialog-shot: cannot find the game data\n");
        return 1;
    }
    LaunchDialog dialog;
    Quill::DialogWindow window(dialog);
    std::string error;
    if (!window.Open(error)) {
        std::fprintf(stderr, "karsk-dialog-shot: %s\n", error.c_str());
        return 1;
    }
    window.Draw();
    bool ok = window.SaveScreenshot(joining);
    Type(dialog, "Tavi");
    const Quill::DialogRect server = dialog.Find(LaunchDialogId::Server)->rect;
    dialog.MouseDown(server.x + 2, server.y + 2);
    dialog.MouseUp(server.x + 2, server.y + 2);
    window.Draw();
    ok = window.SaveScreenshot(hosting) && ok;
    window.Close();
    return ok ? 0 : 1;
}
