#include "engine/DialogWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

#include "engine/BitmapFont.h"
#include "engine/QuillLogger.h"

namespace Quill {

static_assert(BitmapFont::kAdvance * DialogWindow::kFontScale ==
                  DialogModel::kCharAdvance * DialogWindow::kPixelsPerUnit,
              "the model measures text in the font's advance");

namespace {

constexpr int kUnit = DialogWindow::kPixelsPerUnit;
constexpr int kTextHeight = BitmapFont::kGlyphHeight * DialogWindow::kFontScale;
constexpr int kAdvance = BitmapFont::kAdvance * DialogWindow::kFontScale;

struct Colour {
    uint8_t r, g, b;
};

// The heads-up display's colours, so that the dialog looks like the game.
constexpr Colour kFace = {30, 28, 46};         // hud1
constexpr Colour kField = {16, 14, 26};        // hud0
constexpr Colour kButton = {50, 46, 72};       // hud2
constexpr Colour kLight = {156, 144, 180};     // hud4
constexpr Colour kMid = {92, 84, 120};         // hud3
constexpr Colour kInk = {26, 20, 34};          // ink
constexpr Colour kText = {255, 255, 255};      // white
constexpr Colour kGold = {236, 182, 54};       // gold2
constexpr Colour kPaleGold = {252, 226, 120};  // gold3
constexpr Colour kDeepGold = {180, 120, 30};   // gold1
constexpr Colour kSelection = {42, 70, 160};   // blue1

// Check mark, five columns by five rows, bit 4 the leftmost column.
constexpr uint8_t kTick[5] = {0x01, 0x03, 0x16, 0x1C, 0x08};

void Fill(SDL_Surface* s, int x, int y, int w, int h, Colour c)
{
    if (w <= 0 || h <= 0) {
        return;
    }
    SDL_Rect rect = {Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(s, &rect, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

// Two-pixel edges: lit from the top left when raised, shaded there when sunken.
void Bevel(SDL_Surface* s, int x, int y, int w, int h, Colour topLeft, Colour bottomRight)
{
    Fill(s, x, y, w, 2, topLeft);
    Fill(s, x, y, 2, h, topLeft);
    Fill(s, x, y + h - 2, w, 2, bottomRight);
    Fill(s, x + w - 2, y, 2, h, bottomRight);
}

void DottedFrame(SDL_Surface* s, int x, int y, int w, int h, Colour c)
{
    for (int i = 0; i < w; i += 2) {
        Fill(s, x + i, y, 1, 1, c);
        Fill(s, x + i, y + h - 1, 1, 1, c);
    }
    for (int i = 0; i < h; i += 2) {
        Fill(s, x, y + i, 1, 1, c);
        Fill(s, x + w - 1, y + i, 1, 1, c);
    }
}

void Text(SDL_Surface* s, const std::string& text, int x, int y, Colour c)
{
    BitmapFont::DrawText(s, text, x, y, DialogWindow::kFontScale, c.r, c.g, c.b);
}

int TextWidth(const std::string& text)
{
    return text.empty() ? 0 : int(text.size()) * kAdvance - DialogWindow::kFontScale;
}

DialogKey KeyFor(const SDL_keysym& key)
{
    switch (key.sym) {
        case SDLK_TAB:
            return DialogKey::Tab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return DialogKey::Enter;
        case SDLK_ESCAPE:
            return DialogKey::Escape;
        case SDLK_SPACE:
            return DialogKey::Space;
        case SDLK_BACKSPACE:
            return DialogKey::Backspace;
        case SDLK_DELETE:
            return DialogKey::Delete;
        case SDLK_HOME:
            return DialogKey::Home;
        case SDLK_END:
            return DialogKey::End;
        case SDLK_LEFT:
            return DialogKey::Left;
        case SDLK_RIGHT:
            return DialogKey::Right;
        case SDLK_UP:
            return DialogKey::Up;
        case SDLK_DOWN:
            return DialogKey::Down;
        case SDLK_a:
            return (key.mod & KMOD_CTRL) ? DialogKey::SelectAll : DialogKey::Other;
        default:
            return DialogKey::Other;
    }
}

}  // namespace

DialogWindow::DialogWindow(DialogModel& m) : model(m) {}

DialogWindow::~DialogWindow()
{
    Close();
}

bool DialogWindow::Open(std::string& error)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot start SDL video: ") + SDL_GetError();
        return false;
    }
    started = true;
    const DialogTemplate& layout = model.Layout();
    SDL_WM_SetCaption(layout.caption.c_str(), layout.caption.c_str());
    LoadPictures();
    // The icon must be set before the window exists.
    auto icon = pictures.find(layout.iconFile);
    if (icon != pictures.end()) {
        SDL_WM_SetIcon(icon->second, nullptr);
    }
    // Centred like a dialog; the game's own window is placed as before.
    const bool centredBefore = std::getenv("SDL_VIDEO_CENTERED") != nullptr;
    if (!centredBefore) {
        setenv("SDL_VIDEO_CENTERED", "1", 1);
    }
    screen = SDL_SetVideoMode(layout.width * kUnit, layout.height * kUnit, 32, SDL_SWSURFACE);
    if (!centredBefore) {
        unsetenv("SDL_VIDEO_CENTERED");
    }
    if (!screen) {
        error = std::string("cannot open the window: ") + SDL_GetError();
        Close();
        return false;
    }
    SDL_EnableUNICODE(1);
    SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);
    exposed = true;
    return true;
}

void DialogWindow::LoadPictures()
{
    std::vector<std::string> files;
    if (!model.Layout().iconFile.empty()) {
        files.push_back(model.Layout().iconFile);
    }
    for (const DialogControl& control : model.Controls()) {
        if (control.kind == DialogControlKind::Picture) {
            files.push_back(control.text);
        }
    }
    for (const std::string& file : files) {
        if (pictures.count(file)) {
            continue;
        }
        SDL_Surface* picture = SDL_LoadBMP(file.c_str());
        if (!picture) {
            Logger()->Log("dialog: cannot load %s: %s", file.c_str(), SDL_GetError());
            continue;
        }
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, 255, 0, 255));
        pictures[file] = picture;
    }
}

void DialogWindow::Close()
{
    for (auto& entry : pictures) {
        SDL_FreeSurface(entry.second);
    }
    pictures.clear();
    screen = nullptr;
    if (started) {
        SDL_EnableKeyRepeat(0, 0);
        SDL_EnableUNICODE(0);
        // Started again without a named driver, SDL 2 under the 1.2 layer
        // sometimes settles on its invisible offscreen driver, and the game's
        // window would never appear; the game gets the dialog's driver.
        char driver[64] = "";
        if (!std::getenv("SDL_VIDEODRIVER") && SDL_VideoDriverName(driver, sizeof driver) && driver[0]) {
            setenv("SDL_VIDEODRIVER", driver, 1);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
            SDL_Quit();
        }
        started = false;
    }
}

void DialogWindow::Run()
{
    Draw();
    SDL_Event event;
    while (!model.Ended() && SDL_WaitEvent(&event)) {
        // Everything already queued is handled before one redraw.
        do {
            HandleEvent(event);
        } while (!model.Ended() && SDL_PollEvent(&event));
        if (!model.Ended() && (exposed || model.Revision() != drawnRevision)) {
            Draw();
        }
    }
}

void DialogWindow::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_QUIT:
            model.Close();
            break;
        case SDL_KEYDOWN: {
            const SDL_keysym& key = event.key.keysym;
            DialogKeyPress press;
            press.key = KeyFor(key);
            press.shift = (key.mod & KMOD_SHIFT) != 0;
            // Ctrl with a letter is a command; AltGr (Ctrl and Alt) still types.
            const bool command = (key.mod & KMOD_CTRL) && !(key.mod & KMOD_ALT);
            if (!command && key.unicode >= ' ' && key.unicode <= '~') {
                press.text = char(key.unicode);
            }
            model.KeyDown(press);
            break;
        }
        case SDL_KEYUP:
            model.KeyUp(KeyFor(event.key.keysym));
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                model.MouseDown(event.button.x / kUnit, event.button.y / kUnit);
            }
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.state & SDL_BUTTON(SDL_BUTTON_LEFT)) {
                model.MouseMove(event.motion.x / kUnit, event.motion.y / kUnit);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) {
                model.MouseUp(event.button.x / kUnit, event.button.y / kUnit);
            }
            break;
        case SDL_VIDEOEXPOSE:
        case SDL_ACTIVEEVENT:
            exposed = true;
            break;
        default:
            break;
    }
}

void DialogWindow::Draw()
{
    if (!screen) {
        return;
    }
    Fill(screen, 0, 0, screen->w, screen->h, kFace);
    const int focusId = model.FocusId();
    const int defaultId = model.ActiveDefaultId();
    for (const DialogControl& control : model.Controls()) {
        if (control.visible) {
            DrawControl(control, focusId != 0 && control.id == focusId, control.id == defaultId);
        }
    }
    SDL_Flip(screen);
    exposed = false;
    drawnRevision = model.Revision();
}

void DialogWindow::DrawControl(const DialogControl& control, bool focused, bool isDefault)
{
    switch (control.kind) {
        case DialogControlKind::PushButton:
            DrawButton(control, focused, isDefault);
            break;
        case DialogControlKind::CheckBox:
            DrawCheckBox(control, focused);
            break;
        case DialogControlKind::GroupBox:
            DrawGroupBox(control);
            break;
        case DialogControlKind::Label:
            // The engine font is wider than the layout's, so labels may run
            // past their rectangles; the layout leaves room to their right.
            Text(screen, control.text, control.rect.x * kUnit, control.rect.y * kUnit + 1,
                 control.enabled ? kLight : kMid);
            break;
        case DialogControlKind::Edit:
            DrawEdit(control, focused);
            break;
        case DialogControlKind::Picture:
            DrawPicture(control);
            break;
    }
}

void DialogWindow::DrawButton(const DialogControl& control, bool focused, bool isDefault)
{
    int x = control.rect.x * kUnit, y = control.rect.y * kUnit;
    int w = control.rect.width * kUnit, h = control.rect.height * kUnit;
    if (isDefault) {
        Fill(screen, x, y, w, h, kDeepGold);
        x += 2, y += 2, w -= 4, h -= 4;
    }
    Fill(screen, x, y, w, h, control.pressed ? kFace : kButton);
    if (control.pressed) {
        Bevel(screen, x, y, w, h, kInk, kMid);
    } else {
        Bevel(screen, x, y, w, h, kLight, kInk);
    }
    const int shift = control.pressed ? 2 : 0;
    Text(screen, control.text, x + (w - TextWidth(control.text)) / 2 + shift,
         y + (h - kTextHeight) / 2 + shift, control.enabled ? kText : kMid);
    if (focused) {
        DottedFrame(screen, x + 4, y + 4, w - 8, h - 8, kGold);
    }
}

void DialogWindow::DrawCheckBox(const DialogControl& control, bool focused)
{
    const int x = control.rect.x * kUnit, y = control.rect.y * kUnit, h = control.rect.height * kUnit;
    const int box = 14;
    const int boxY = y + (h - box) / 2;
    Fill(screen, x, boxY, box, box, kMid);
    Fill(screen, x + 2, boxY + 2, box - 4, box - 4, control.pressed ? kFace : kField);
    if (control.checked) {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 5; ++column) {
                if (kTick[row] >> (4 - column) & 1) {
                    Fill(screen, x + 2 + column * 2, boxY + 2 + row * 2, 2, 2, kPaleGold);
                }
            }
        }
    }
    const int textX = x + box + 6;
    const int textY = y + (h - kTextHeight) / 2;
    Text(screen, control.text, textX, textY, control.enabled ? kText : kMid);
    if (focused) {
        DottedFrame(screen, textX - 2, textY - 2, TextWidth(control.text) + 4, kTextHeight + 4, kGold);
    }
}

void DialogWindow::DrawGroupBox(const DialogControl& control)
{
    const int x = control.rect.x * kUnit, y = control.rect.y * kUnit;
    const int w = control.rect.width * kUnit, h = control.rect.height * kUnit;
    const int top = y + kTextHeight / 2;
    // An etched frame: a dark line with a light one beside it.
    Fill(screen, x, top, w - 1, 1, kField);
    Fill(screen, x + 1, top + 1, w - 1, 1, kMid);
    Fill(screen, x, top, 1, y + h - top - 1, kField);
    Fill(screen, x + 1, top + 1, 1, y + h - top - 1, kMid);
    Fill(screen, x, y + h - 2, w - 1, 1, kField);
    Fill(screen, x + 1, y + h - 1, w - 1, 1, kMid);
    Fill(screen, x + w - 2, top, 1, y + h - top - 1, kField);
    Fill(screen, x + w - 1, top + 1, 1, y + h - top - 1, kMid);
    // The caption interrupts the top line.
    const int captionX = x + 8;
    Fill(screen, captionX - 4, y, TextWidth(control.text) + 8, kTextHeight, kFace);
    Text(screen, control.text, captionX, y, kGold);
}

void DialogWindow::DrawEdit(const DialogControl& control, bool focused)
{
    const int x = control.rect.x * kUnit, y = control.rect.y * kUnit;
    const int w = control.rect.width * kUnit, h = control.rect.height * kUnit;
    Fill(screen, x, y, w, h, control.enabled ? kField : kFace);
    if (focused) {
        Bevel(screen, x, y, w, h, kGold, kGold);
    } else {
        Bevel(screen, x, y, w, h, kInk, kMid);
    }
    const size_t first = std::min(control.scroll, control.text.size());
    const std::string shown = control.text.substr(first, DialogModel::VisibleChars(control));
    const int textX = x + DialogModel::kEditInset * kUnit;
    const int textY = y + (h - kTextHeight) / 2;
    const Colour ink = control.enabled ? kText : kMid;
    if (!focused) {
        Text(screen, shown, textX, textY, ink);
        return;
    }
    // The selection, then the text, then the caret on top.
    const size_t selFrom = std::max(std::min(control.caret, control.anchor), first);
    const size_t selTo = std::min(std::max(control.caret, control.anchor), first + shown.size());
    if (selTo > selFrom) {
        Fill(screen, textX + int(selFrom - first) * kAdvance - 1, textY - 2, int(selTo - selFrom) * kAdvance,
             kTextHeight + 4, kSelection);
    }
    Text(screen, shown, textX, textY, ink);
    const int caretX = textX + int(control.caret - first) * kAdvance - 2;
    Fill(screen, caretX, textY - 2, 2, kTextHeight + 4, kPaleGold);
}

void DialogWindow::DrawPicture(const DialogControl& control)
{
    auto picture = pictures.find(control.text);
    if (picture == pictures.end()) {
        return;
    }
    SDL_Rect target = {Sint16(control.rect.x * kUnit), Sint16(control.rect.y * kUnit), 0, 0};
    SDL_BlitSurface(picture->second, nullptr, screen, &target);
}

bool DialogWindow::SaveScreenshot(const std::string& path) const
{
    if (!screen) {
        return false;
    }
    if (SDL_SaveBMP(screen, path.c_str()) != 0) {
        Logger()->Log("dialog: cannot save %s: %s", path.c_str(), SDL_GetError());
        return false;
    }
    return true;
}

}  // namespace Quill
