#include "app/LaunchDialog.h"

using Quill::DialogControl;
using Quill::DialogControlKind;

namespace {

constexpr const char* kJoinPicture = "dialog/join.bmp";
constexpr const char* kHostPicture = "dialog/host.bmp";
constexpr const char* kIcon = "dialog/icon.bmp";

DialogControl Control(int id, DialogControlKind kind, const char* text, int x, int y, int w, int h,
                      bool tabStop = false)
{
    DialogControl control;
    control.id = id;
    control.kind = kind;
    control.text = text;
    control.rect = {x, y, w, h};
    control.tabStop = tabStop;
    return control;
}

// Copies at most size − 1 characters and terminates.
void CopyBounded(char* target, size_t size, const std::string& source)
{
    const size_t length = source.size() < size - 1 ? source.size() : size - 1;
    std::memcpy(target, source.data(), length);
    target[length] = '\0';
}

}  // namespace

Quill::DialogTemplate LaunchDialogTemplate()
{
    using namespace LaunchDialogId;
    Quill::DialogTemplate layout;
    layout.caption = "Karsk Network Setup";
    layout.width = 210;
    layout.height = 123;
    layout.defaultId = Launch;
    layout.cancelId = Quit;
    layout.iconFile = kIcon;

    // Enter clicks Launch unless another button has the focus (layout.defaultId).
    DialogControl launch = Control(Launch, DialogControlKind::PushButton, "Launch", 98, 102, 50, 14, true);
    DialogControl quit = Control(Quit, DialogControlKind::PushButton, "Quit", 152, 102, 50, 14, true);
    DialogControl name = Control(Name, DialogControlKind::Edit, "", 7, 17, 100, 14, true);
    name.limit = sizeof(LaunchSettings::name) - 1;
    DialogControl address = Control(Address, DialogControlKind::Edit, "", 53, 73, 102, 14, true);
    address.limit = sizeof(LaunchSettings::address) - 1;

    layout.controls = {
        launch,
        Control(Server, DialogControlKind::CheckBox, "Server", 7, 37, 45, 10, true),
        Control(-1, DialogControlKind::GroupBox, "Connect To", 7, 49, 195, 48),
        Control(-1, DialogControlKind::Label, "Server IP", 55, 64, 31, 8),
        name,
        Control(-1, DialogControlKind::Label, "Name", 8, 7, 26, 10),
        Control(-1, DialogControlKind::Picture, kIcon, 28, 70, 20, 20),
        quit,
        Control(JoinPicture, DialogControlKind::Picture, kJoinPicture, 112, 14, 21, 20),
        Control(HostPicture, DialogControlKind::Picture, kHostPicture, 112, 14, 21, 20),
        address,
    };
    // Tab goes down the window as it reads, not in the order the controls
    // were laid out.
    layout.tabOrder = {Name, Server, Address, Launch, Quit};
    return layout;
}

LaunchDialog::LaunchDialog() : DialogModel(LaunchDialogTemplate())
{
    SetText(LaunchDialogId::Address, kDefaultAddress);
    ShowRole();
    SetFocus(LaunchDialogId::Name);
}

void LaunchDialog::Offer(const RememberedLaunch& remembered)
{
    OfferName(remembered.name);
    SetText(LaunchDialogId::Address, remembered.address.empty() ? kDefaultAddress : remembered.address);
    SetChecked(LaunchDialogId::Server, remembered.host);
    ShowRole();
}

void LaunchDialog::OfferName(const std::string& name)
{
    SetText(LaunchDialogId::Name, name);
    if (FocusId() == LaunchDialogId::Name) {
        SetFocus(LaunchDialogId::Name);  // selects the offered name, so typing replaces it
    }
}

void LaunchDialog::ShowRole()
{
    const bool host = IsChecked(LaunchDialogId::Server);
    Enable(LaunchDialogId::Address, !host);
    Show(LaunchDialogId::JoinPicture, !host);
    Show(LaunchDialogId::HostPicture, host);
}

void LaunchDialog::OnCommand(int id)
{
    switch (id) {
        case LaunchDialogId::Launch:
            dialogDone = true;
            EndDialog();
            break;
        case LaunchDialogId::Quit:
            quitRequested = true;
            dialogDone = true;
            EndDialog();
            break;
        case LaunchDialogId::Server:
            ShowRole();
            break;
        default:
            break;
    }
}

void LaunchDialog::OnClose()
{
    quitRequested = true;
    dialogDone = true;
    EndDialog();
}

LaunchSettings LaunchDialog::ReadSettings() const
{
    LaunchSettings settings;
    std::memset(&settings, 0, sizeof settings);
    settings.hostGame = IsChecked(LaunchDialogId::Server);
    CopyBounded(settings.name, sizeof settings.name, Text(LaunchDialogId::Name));
    CopyBounded(settings.address, sizeof settings.address, Text(LaunchDialogId::Address));
    return settings;
}

RememberedLaunch LaunchDialog::Remember() const
{
    const LaunchSettings settings = ReadSettings();
    RememberedLaunch remembered;
    remembered.name = settings.name;
    remembered.host = settings.hostGame;
    remembered.address = settings.address;
    return remembered;
}
