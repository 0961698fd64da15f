#pragma once

#include <cstring>
#include <string>

#include "engine/DialogModel.h"

// The start-up dialog "Karsk Network Setup": host or join, the server's
// address and the player's name.
namespace LaunchDialogId {
constexpr int Launch = 1;
constexpr int Quit = 2;
constexpr int Server = 1003;  // check box: host the game
constexpr int Address = 1005;
constexpr int Name = 1006;
constexpr int JoinPicture = 1008;  // shown while joining
constexpr int HostPicture = 1009;  // shown while hosting
}  // namespace LaunchDialogId

// What the dialog hands to the game: fixed-size text, always terminated.
struct LaunchSettings {
    bool hostGame;
    char address[24];
    char name[64];
};

// The choices remembered from the last launch, offered next time.
struct RememberedLaunch {
    std::string name;
    bool host = false;
    std::string address;
};

// The dialog's layout in dialog units, controls in tab order.
Quill::DialogTemplate LaunchDialogTemplate();

class LaunchDialog : public Quill::DialogModel {
public:
    // The joining view: the address box holds 127.0.0.1 and the Name box has
    // the focus.
    LaunchDialog();

    // Fills the dialog with earlier choices; an empty address keeps 127.0.0.1.
    void Offer(const RememberedLaunch& remembered);
    void OfferName(const std::string& name);

    // "Launch", "Quit", Escape or the close button has answered the dialog.
    bool Answered() const { return dialogDone; }
    // The player chose not to play.
    bool QuitRequested() const { return quitRequested; }

    LaunchSettings ReadSettings() const;
    RememberedLaunch Remember() const;

    static constexpr const char* kDefaultAddress = "127.0.0.1";

protected:
    void OnCommand(int id) override;
    void OnClose() override;

private:
    // The address box and the picture follow the "Server" check box.
    void ShowRole();

    bool dialogDone = false;
    bool quitRequested = false;
};

// Hands the dialog's answer to the application before it is launched.
template <class App>
void ApplyLaunchSettings(const LaunchSettings& settings, App& app)
{
    if (settings.hostGame) {
        app.SetServer(true);
    } else {
        app.SetServer(false);
        app.SetServerAddress(settings.address);
    }
    app.SetPlayerName(settings.name);
}
