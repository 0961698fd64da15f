#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/LaunchDialog.h"
#include "app/LaunchDialogRun.h"
#include "app/LaunchDialogStore.h"
#include "app/TestApp.h"
#include "engine/DialogWindow.h"
#include "engine/QuillLogger.h"
#include "tests/support/TestSupport.h"

using Quill::DialogKey;
using Quill::DialogKeyPress;
namespace Id = LaunchDialogId;

namespace {

void Press(LaunchDialog& dialog, DialogKey key, bool shift = false)
{
    DialogKeyPress press;
    press.key = key;
    press.shift = shift;
    press.text = key == DialogKey::Space ? ' ' : 0;
    dialog.KeyDown(press);
    dialog.KeyUp(key);
}

void Type(LaunchDialog& dialog, const std::string& text)
{
    for (char c : text) {
        DialogKeyPress press;
        press.key = c == ' ' ? DialogKey::Space : DialogKey::Other;
        press.text = c;
        dialog.KeyDown(press);
    }
}

// Clicks the middle of a control (dialog units).
void Click(LaunchDialog& dialog, int id)
{
    const Quill::DialogRect r = dialog.Find(id)->rect;
    dialog.MouseDown(r.x + r.width / 2, r.y + r.height / 2);
    dialog.MouseUp(r.x + r.width / 2, r.y + r.height / 2);
}

// A private folder per test, which also serves as the settings folder.
class LaunchDialogFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Quill::Logger()->ClearRecent();
        std::string pattern = TempPath("dialog") + "_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        settings = dir + "/karsk/launch.ini";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void Write(const std::string& text)
    {
        std::filesystem::create_directories(dir + "/karsk");
        std::ofstream(settings) << text;
    }

    std::string dir;
    std::string settings;
};

struct RecordingApp {
    std::vector<std::string> calls;
    void SetServer(bool on) { calls.push_back(on ? "server" : "client"); }
    void SetServerAddress(const char* address) { calls.push_back(std::string("address ") + address); }
    void SetPlayerName(const char* name) { calls.push_back(std::string("name ") + name); }
};

// Notes the game's window as the run ends, before SDL is shut down.
struct WindowWatchingApp : CTestApp {
    int width = 0, height = 0;
    std::string caption;

    bool Shutdown() override
    {
        if (SDL_Surface* screen = SDL_GetVideoSurface()) {
            width = screen->w;
            height = screen->h;
        }
        char* title = nullptr;
        SDL_WM_GetCaption(&title, nullptr);
        caption = title ? title : "";
        return CTestApp::Shutdown();
    }
};

}  // namespace

TEST(LaunchDialog, LayoutIsTheSetupDialogInDialogUnits)
{
    const Quill::DialogTemplate layout = LaunchDialogTemplate();
    EXPECT_EQ(layout.caption, "Karsk Network Setup");
    EXPECT_EQ(layout.width, 210);
    EXPECT_EQ(layout.height, 123);
    struct Row {
        int id;
        const char* text;
        int x, y, w, h;
    };
    const Row rows[] = {
        {1, "Launch", 98, 102, 50, 14},
        {1003, "Server", 7, 37, 45, 10},
        {-1, "Connect To", 7, 49, 195, 48},
        {-1, "Server IP", 55, 64, 31, 8},
        {1006, "", 7, 17, 100, 14},
        {-1, "Name", 8, 7, 26, 10},
        {-1, "dialog/icon.bmp", 28, 70, 20, 20},
        {2, "Quit", 152, 102, 50, 14},
        {1008, "dialog/join.bmp", 112, 14, 21, 20},
        {1009, "dialog/host.bmp", 112, 14, 21, 20},
        {1005, "", 53, 73, 102, 14},
    };
    ASSERT_EQ(layout.controls.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Quill::DialogControl& c = layout.controls[i];
        EXPECT_EQ(c.id, rows[i].id) << i;
        EXPECT_EQ(c.text, rows[i].text) << i;
        EXPECT_EQ(c.rect.x, rows[i].x) << i;
        EXPECT_EQ(c.rect.y, rows[i].y) << i;
        EXPECT_EQ(c.rect.width, rows[i].w) << i;
        EXPECT_EQ(c.rect.height, rows[i].h) << i;
    }
}

// Tab goes down the window as it reads and skips the address box while it is disabled.
TEST(LaunchDialog, TabAndShiftTabCycleThroughTheEnabledControls)
{
    struct Row {
        bool host;
        bool backwards;
        std::vector<int> order;
    };
    const Row rows[] = {
        {false, false, {Id::Server, Id::Address, Id::Launch, Id::Quit, Id::Name}},
        {false, true, {Id::Quit, Id::Launch, Id::Address, Id::Server, Id::Name}},
        {true, false, {Id::Server, Id::Launch, Id::Quit, Id::Name}},
        {true, true, {Id::Quit, Id::Launch, Id::Server, Id::Name}},
    };
    for (const Row& row : rows) {
        LaunchDialog dialog;
        if (row.host) {
            Click(dialog, Id::Server);
            dialog.SetFocus(Id::Name);
        }
        for (int expected : row.order) {
            Press(dialog, DialogKey::Tab, row.backwards);
            EXPECT_EQ(dialog.FocusId(), expected) << "host " << row.host << " backwards " << row.backwards;
        }
    }
}

TEST(LaunchDialog, EditingKeysChangeTheFocusedBox)
{
    struct Step {
        DialogKey key;  // Other: type `text`
        bool shift;
        const char* text;
    };
    using K = DialogKey;
    const Step home{K::Home, false, ""}, end{K::End, false, ""}, left{K::Left, false, ""},
        backspace{K::Backspace, false, ""}, del{K::Delete, false, ""}, shiftLeft{K::Left, true, ""};
    auto type = [](const char* text) { return Step{K::Other, false, text}; };
    const struct {
        const char* start;
        std::vector<Step> steps;
        const char* text;
        size_t caret;
    } rows[] = {
        {"", {type("Ann")}, "Ann", 3},
        {"Ann", {end, backspace}, "An", 2},
        {"Ann", {home, del}, "nn", 0},
        {"Ann", {end, left, type("i")}, "Anin", 3},
        {"Ann", {home, {K::Right, false, ""}, type("-")}, "A-nn", 2},
        {"Ann", {home, {K::Up, false, ""}, {K::Down, false, ""}}, "Ann", 1},
        {"Ann", {home, backspace}, "Ann", 0},
        {"Ann", {end, del}, "Ann", 3},
        {"Ann", {type("Bo")}, "Bo", 2},  // focus selects the whole text
        {"Ann Lee", {end, shiftLeft, shiftLeft, type("o")}, "Ann Lo", 6},
        {"Ann Lee", {end, {K::Home, true, ""}, del}, "", 0},
        {"Ann", {home, {K::SelectAll, false, ""}, backspace}, "", 0},
        {"Ann", {end, type(" x")}, "Ann x", 5},
        {"", {type("a\tb\177c")}, "abc", 3},  // only what the font can show
    };
    for (const auto& row : rows) {
        LaunchDialog dialog;
        dialog.OfferName(row.start);
        for (const Step& step : row.steps) {
            if (step.key == K::Other)
                Type(dialog, step.text);
            else
                Press(dialog, step.key, step.shift);
        }
        EXPECT_EQ(dialog.Find(Id::Name)->text, row.text) << "from '" << row.start << "'";
        EXPECT_EQ(dialog.Find(Id::Name)->caret, row.caret) << "from '" << row.start << "'";
    }
}

TEST(LaunchDialog, BoxesTakeNoMoreThanTheirFields)
{
    struct Row {
        int id;
        size_t limit;
    };
    for (const Row row : {Row{Id::Name, 63}, Row{Id::Address, 23}}) {
        LaunchDialog dialog;
        dialog.SetFocus(row.id);
        Type(dialog, std::string(80, 'x'));
        EXPECT_EQ(dialog.Text(row.id).size(), row.limit) << row.id;
        // A full box refuses more, even over a caret in the middle.
        Press(dialog, DialogKey::Home);
        Type(dialog, "y");
        EXPECT_EQ(dialog.Text(row.id), std::string(row.limit, 'x')) << row.id;
    }
    LaunchDialog offered;
    offered.Offer({std::string(70, 'n'), false, std::string(30, '1')});
    EXPECT_EQ(offered.Text(Id::Name).size(), 63u);
    EXPECT_EQ(offered.Text(Id::Address).size(), 23u);
}

TEST(LaunchDialog, LongTextScrollsToKeepTheCaretInView)
{
    LaunchDialog dialog;
    const size_t visible = Quill::DialogModel::VisibleChars(*dialog.Find(Id::Name));
    ASSERT_EQ(visible, 16u);
    Type(dialog, std::string(20, 'a'));
    EXPECT_EQ(dialog.Find(Id::Name)->scroll, 4u);
    Press(dialog, DialogKey::Home);
    EXPECT_EQ(dialog.Find(Id::Name)->scroll, 0u);
    // A click lands on the character under the pointer (6 units each, after a 2-unit margin).
    const Quill::DialogRect r = dialog.Find(Id::Name)->rect;
    dialog.MouseDown(r.x + 2 + 3 * 6, r.y + 5);
    dialog.MouseMove(r.x + 2 + 5 * 6, r.y + 5);
    dialog.MouseUp(r.x + 2 + 5 * 6, r.y + 5);
    EXPECT_EQ(dialog.Find(Id::Name)->anchor, 3u);
    EXPECT_EQ(dialog.Find(Id::Name)->caret, 5u);
}

// It opens to join 127.0.0.1 with the name focused; the Server check box
// (Space on it, or a click) swaps the picture and disables the address box.
TEST(LaunchDialog, ServerCheckBoxSwapsPictureAndAddressBox)
{
    LaunchDialog dialog;
    EXPECT_EQ(dialog.FocusId(), Id::Name);
    EXPECT_EQ(dialog.ActiveDefaultId(), Id::Launch);
    EXPECT_FALSE(dialog.Answered());
    EXPECT_EQ(dialog.Text(Id::Address), "127.0.0.1");
    dialog.SetFocus(Id::Address);
    Type(dialog, "10.0.0.7");
    for (bool host : {false, true, false}) {
        EXPECT_EQ(dialog.IsChecked(Id::Server), host);
        EXPECT_EQ(dialog.IsEnabled(Id::Address), !host);
        EXPECT_EQ(dialog.IsVisible(Id::JoinPicture), !host);
        EXPECT_EQ(dialog.IsVisible(Id::HostPicture), host);
        if (!host) {
            dialog.SetFocus(Id::Server);
            Press(dialog, DialogKey::Space);
        } else {
            Click(dialog, Id::Server);
        }
    }
    EXPECT_EQ(dialog.Text(Id::Address), "10.0.0.7");
    // A disabled box ignores the mouse; arrow keys move between the buttons.
    Click(dialog, Id::Address);
    EXPECT_EQ(dialog.FocusId(), Id::Server);
    dialog.SetFocus(Id::Launch);
    Press(dialog, DialogKey::Right);
    EXPECT_EQ(dialog.FocusId(), Id::Quit);
    Press(dialog, DialogKey::Up);
    EXPECT_EQ(dialog.FocusId(), Id::Launch);
}

// Enter answers Launch unless Quit has the focus; Space presses the focused
// button; Escape and the window's close button quit.
TEST(LaunchDialog, AnswersEndTheDialog)
{
    constexpr int kClose = -2, kName = 0;
    const struct {
        int focus;
        DialogKey key;  // Other: click the control `click` instead
        int click;
        bool quit;
    } rows[] = {
        {kName, DialogKey::Enter, 0, false},          {Id::Server, DialogKey::Enter, 0, false},
        {Id::Quit, DialogKey::Enter, 0, true},        {Id::Launch, DialogKey::Space, 0, false},
        {Id::Quit, DialogKey::Space, 0, true},        {kName, DialogKey::Escape, 0, true},
        {kName, DialogKey::Other, Id::Launch, false}, {kName, DialogKey::Other, Id::Quit, true},
        {kName, DialogKey::Other, kClose, true},
    };
    for (const auto& row : rows) {
        LaunchDialog dialog;
        if (row.focus)
            dialog.SetFocus(row.focus);
        if (row.click == kClose)
            dialog.Close();
        else if (row.click)
            Click(dialog, row.click);
        else
            Press(dialog, row.key);
        const int line = int(&row - rows);
        EXPECT_TRUE(dialog.Answered() && dialog.Ended()) << "row " << line;
        EXPECT_EQ(dialog.QuitRequested(), row.quit) << "row " << line;
    }
    // A press that leaves the button before its release does nothing.
    LaunchDialog slid, tabbed;
    slid.MouseDown(100, 105);
    slid.MouseMove(10, 10);
    slid.MouseUp(10, 10);
    tabbed.SetFocus(Id::Launch);
    DialogKeyPress space;
    space.key = DialogKey::Space;
    tabbed.KeyDown(space);
    Press(tabbed, DialogKey::Tab);
    tabbed.KeyUp(DialogKey::Space);
    EXPECT_FALSE(slid.Answered() || tabbed.Answered());
}

// Launching unchanged joins 127.0.0.1 with an empty name, read into zeroed
// fields; hosting sets no address.
TEST(LaunchDialog, LaunchSettingsReachTheGame)
{
    LaunchDialog plain;
    Press(plain, DialogKey::Enter);
    const LaunchSettings s = plain.ReadSettings();
    EXPECT_EQ(std::string(s.address, sizeof s.address),
              "127.0.0.1" + std::string(sizeof s.address - 9, '\0'));
    EXPECT_EQ(std::string(s.name, sizeof s.name), std::string(sizeof s.name, '\0'));
    RecordingApp joining;
    ApplyLaunchSettings(s, joining);
    EXPECT_EQ(joining.calls, (std::vector<std::string>{"client", "address 127.0.0.1", "name "}));

    LaunchDialog hosting;
    Type(hosting, "Ann");
    Click(hosting, Id::Server);
    Click(hosting, Id::Launch);
    RecordingApp app;
    ApplyLaunchSettings(hosting.ReadSettings(), app);
    EXPECT_EQ(app.calls, (std::vector<std::string>{"server", "name Ann"}));
    CTestApp real;
    ApplyLaunchSettings(hosting.ReadSettings(), real);
    EXPECT_TRUE(real.IsServer());
}

TEST(LaunchSettingsFile, PathFollowsXdgConfigHomeElseHome)
{
    struct Row {
        const char* xdg;
        const char* home;
        const char* path;
    };
    const Row rows[] = {
        {"/cfg", "/home/a", "/cfg/karsk/launch.ini"},
        {nullptr, "/home/a", "/home/a/.config/karsk/launch.ini"},
        {"", "/home/a", "/home/a/.config/karsk/launch.ini"},
        {"relative/cfg", "/home/a", "/home/a/.config/karsk/launch.ini"},
        {nullptr, nullptr, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LaunchSettingsPath(row.xdg, row.home), row.path) << (row.xdg ? row.xdg : "(unset)");
    }
}

TEST_F(LaunchDialogFiles, BadFilesAreLoggedAndIgnored)
{
    struct Row {
        const char* text;
        const char* logged;
    };
    const Row rows[] = {
        {"[launch]\nname=Ann\nthis line is no setting\n", "launch.ini:3"},
        {"[launch]\nserver=2\n", "server is neither 0 nor 1"},
        {"[launch]\nname=%G1\n", "bad escape in name"},
        {"[launch\nname=Ann\n", "launch.ini:1"},
    };
    for (const Row& row : rows) {
        Quill::Logger()->ClearRecent();
        Write(row.text);
        RememberedLaunch out{"kept", true, "kept"};
        EXPECT_FALSE(LoadRememberedLaunch(settings, out)) << row.text;
        EXPECT_EQ(out.name, "kept");
        EXPECT_TRUE(LogContains(row.logged)) << row.text;
    }
    // A folder where the file should be cannot be read, and a file where a
    // folder should be cannot be written.
    std::filesystem::remove(settings);
    std::filesystem::create_directories(settings);
    RememberedLaunch out;
    Quill::Logger()->ClearRecent();
    EXPECT_FALSE(LoadRememberedLaunch(settings, out));
    EXPECT_TRUE(LogContains("cannot read"));
    EXPECT_FALSE(SaveRememberedLaunch(settings, out));
    EXPECT_TRUE(LogContains("cannot write"));
    std::ofstream(dir + "/file") << "x";
    EXPECT_FALSE(SaveRememberedLaunch(dir + "/file/karsk/launch.ini", out));

    // No file at all is the first start, not a fault.
    Quill::Logger()->ClearRecent();
    EXPECT_FALSE(LoadRememberedLaunch(dir + "/none.ini", out));
    EXPECT_TRUE(Quill::Logger()->RecentLines().empty());
}

TEST_F(LaunchDialogFiles, TheLastLaunchIsKeptOfferedAndAGivenNameWins)
{
    Write("[launch]\nname=Ann\nserver=1\naddress=10.1.1.1\n[later]\nextra=1\n");
    LaunchDialog remembered;
    PrepareLaunchDialog(remembered, settings, "");
    EXPECT_EQ(remembered.Text(Id::Name), "Ann");
    EXPECT_TRUE(remembered.IsChecked(Id::Server));
    EXPECT_FALSE(remembered.IsEnabled(Id::Address));
    EXPECT_TRUE(remembered.IsVisible(Id::HostPicture));
    EXPECT_EQ(remembered.Text(Id::Address), "10.1.1.1");

    LaunchDialog named;
    PrepareLaunchDialog(named, settings, "Bo");
    EXPECT_EQ(named.Text(Id::Name), "Bo");

    // Quitting leaves the file alone; launching replaces it.
    Press(named, DialogKey::Escape);
    FinishLaunchDialog(named, settings);
    RememberedLaunch back;
    ASSERT_TRUE(LoadRememberedLaunch(settings, back));
    EXPECT_EQ(back.name, "Ann");
    LaunchDialog launched;
    PrepareLaunchDialog(launched, settings, "Bo");
    Click(launched, Id::Server);
    Press(launched, DialogKey::Enter);
    FinishLaunchDialog(launched, settings);
    ASSERT_TRUE(LoadRememberedLaunch(settings, back));
    EXPECT_EQ(back.name, "Bo");
    EXPECT_FALSE(back.host);
    EXPECT_EQ(back.address, "10.1.1.1");

    // Every character survives the file, and no temporary file is left beside it.
    for (const RememberedLaunch& row :
         {RememberedLaunch{" Bo; 100% #1 ", true, "192.168.1.20"}, RememberedLaunch{"", true, ""}}) {
        ASSERT_TRUE(SaveRememberedLaunch(settings, row));
        ASSERT_TRUE(LoadRememberedLaunch(settings, back)) << row.name;
        EXPECT_EQ(back.name, row.name);
        EXPECT_EQ(back.host, row.host);
        EXPECT_EQ(back.address, row.address);
    }
    EXPECT_FALSE(std::filesystem::exists(settings + ".new"));
    // What a file leaves out stays as on a first start: joining.
    Write("[launch]\nname=Cy\n");
    RememberedLaunch partial;
    ASSERT_TRUE(LoadRememberedLaunch(settings, partial));
    EXPECT_FALSE(partial.host);
}

// The window, headless: SDL events pushed into its queue drive it, the close
// button quits, and the game's own window opens normally after it has closed.
TEST_F(LaunchDialogFiles, WindowIsDrivenBySdlEventsAndMakesWayForTheGame)
{
    ASSERT_TRUE(Quill::EnterDataDirectory(KARSK_TEST_DATA_DIR));
    LaunchDialog dialog;
    Quill::DialogWindow window(dialog);
    std::string error;
    ASSERT_TRUE(window.Open(error)) << error;
    SDL_Surface* screen = window.Surface();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 420);
    EXPECT_EQ(screen->h, 246);
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    EXPECT_STREQ(caption, "Karsk Network Setup");

    // The join picture is drawn where the layout puts it, 2 pixels a unit:
    // its corner (112, 14) is at (224, 28).
    window.Draw();
    SDL_Surface* loaded = SDL_LoadBMP("dialog/join.bmp");
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* join = SDL_ConvertSurface(loaded, screen->format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    ASSERT_NE(join, nullptr);
    auto at = [](SDL_Surface* s, int x, int y) {
        SDL_LockSurface(s);
        const Uint32 pixel = static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x];
        SDL_UnlockSurface(s);
        return pixel;
    };
    EXPECT_EQ(at(screen, 224 + 16, 28 + 16), at(join, 16, 16));
    EXPECT_EQ(at(screen, 224 + 2, 28 + 2), at(join, 2, 2));
    SDL_FreeSurface(join);

    auto push = [](Uint8 type, SDLKey sym, Uint16 unicode, int x = 0, int y = 0) {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = type;
        if (type == SDL_KEYDOWN) {
            e.key = {type, 0, SDL_PRESSED, {}};
            e.key.keysym.sym = sym;
            e.key.keysym.unicode = unicode;
        } else if (type != SDL_QUIT) {
            e.button = {type, 0, SDL_BUTTON_LEFT, 0, Uint16(x), Uint16(y)};
        }
        ASSERT_EQ(SDL_PushEvent(&e), 0);
    };
    push(SDL_KEYDOWN, SDLK_a, 'A');
    push(SDL_KEYDOWN, SDLK_n, 'n');
    push(SDL_KEYDOWN, SDLK_BACKSPACE, 8);
    push(SDL_KEYDOWN, SDLK_n, 'n');
    // The Server check box, 2 pixels a unit: (7, 37) → (14, 74).
    push(SDL_MOUSEBUTTONDOWN, SDLK_UNKNOWN, 0, 20, 80);
    push(SDL_MOUSEBUTTONUP, SDLK_UNKNOWN, 0, 20, 80);
    push(SDL_KEYDOWN, SDLK_RETURN, 13);
    window.Run();
    window.Close();
    ASSERT_TRUE(dialog.Answered());
    EXPECT_FALSE(dialog.QuitRequested());
    const LaunchSettings s = dialog.ReadSettings();
    EXPECT_TRUE(s.hostGame);
    EXPECT_STREQ(s.name, "An");

    LaunchDialog closed;
    Quill::DialogWindow closedWindow(closed);
    ASSERT_TRUE(closedWindow.Open(error)) << error;
    push(SDL_QUIT, SDLK_UNKNOWN, 0);
    closedWindow.Run();
    closedWindow.Close();
    EXPECT_TRUE(closed.Answered() && closed.QuitRequested());

    WindowWatchingApp app;
    Quill::RunOptions options;
    options.headless = options.fixedStep = options.fastClock = true;
    options.frames = 2;
    options.logFile = "";
    app.SetRunOptions(options);
    ApplyLaunchSettings(s, app);
    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strncpy(context.title, "QUILL App", sizeof context.title - 1);
    context.width = context.height = 512;
    ASSERT_TRUE(app.Launch(&context));
    EXPECT_EQ(app.FramesRun(), 2u);
    EXPECT_EQ(app.width, 512);
    EXPECT_EQ(app.height, 512);
    EXPECT_EQ(app.caption, "QUILL App");
}

// Without a usable video driver the game says so, ends with 0 and never
// starts (the engine would have opened its log file in the working folder).
TEST_F(LaunchDialogFiles, NoWindowMeansExitZeroWithoutAGame)
{
    // The leak checker of a sanitized build would judge SDL's exit, not ours.
    const std::string command =
        "cd '" + dir + "' && XDG_CONFIG_HOME='" + dir +
        "' SDL_VIDEODRIVER=karsk-no-such-driver ASAN_OPTIONS=detect_leaks=0 '" KARSK_BINARY "' 2>'" + dir +
        "/err'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream err(dir + "/err");
    const std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Failed to create window"), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(dir + "/karsk.log"));
}

TEST(LaunchDialogArt, PicturesAre32By32With16Colours)
{
    for (const char* file : {"/dialog/host.bmp", "/dialog/join.bmp", "/dialog/icon.bmp"}) {
        std::ifstream in(KARSK_TEST_DATA_DIR + std::string(file), std::ios::binary);
        unsigned char header[54] = {};
        ASSERT_TRUE(in.read(reinterpret_cast<char*>(header), sizeof header)) << file;
        EXPECT_TRUE(header[0] == 'B' && header[1] == 'M') << file;
        EXPECT_EQ(header[18] | header[19] << 8, 32) << file;  // width
        EXPECT_EQ(header[22] | header[23] << 8, 32) << file;  // height
        EXPECT_EQ(header[28], 4) << file;                     // bits per pixel
    }
}
