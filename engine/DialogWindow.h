#pragma once

#include <map>
#include <string>

#include "engine/DialogModel.h"

struct SDL_Surface;
union SDL_Event;

namespace Quill {

// Shows a dialog model in its own SDL window, drawn in the engine font, and
// feeds it the keyboard and the mouse. SDL has one window per process, so the
// dialog starts SDL's video itself and stops it again when it closes; the
// game's window is opened afterwards as if the dialog had never been.
class DialogWindow {
public:
    explicit DialogWindow(DialogModel& model);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Starts SDL's video and opens the window, centred, with the dialog's
    // caption and icon. False with the reason when it cannot. Pictures are
    // read from the working directory; one that is missing is logged and
    // left out.
    bool Open(std::string& error);
    // Handles events, sleeping while none arrive, until the model has ended
    // or SDL stops delivering events.
    void Run();
    // Redraws the whole dialog and shows it.
    void Draw();
    bool SaveScreenshot(const std::string& path) const;
    // Closes the window and stops SDL.
    void Close();

    SDL_Surface* Surface() const { return screen; }

    // One dialog unit is this many pixels each way; the engine font at
    // kFontScale advances exactly DialogModel::kCharAdvance units a character.
    static constexpr int kPixelsPerUnit = 2;
    static constexpr int kFontScale = 2;

private:
    void HandleEvent(const SDL_Event& event);
    void LoadPictures();
    void DrawControl(const DialogControl& control, bool focused, bool isDefault);
    void DrawButton(const DialogControl& control, bool focused, bool isDefault);
    void DrawCheckBox(const DialogControl& control, bool focused);
    void DrawGroupBox(const DialogControl& control);
    void DrawEdit(const DialogControl& control, bool focused);
    void DrawPicture(const DialogControl& control);

    DialogModel& model;
    SDL_Surface* screen = nullptr;
    std::map<std::string, SDL_Surface*> pictures;
    bool started = false;
    bool exposed = true;
    unsigned drawnRevision = 0;
};

}  // namespace Quill
