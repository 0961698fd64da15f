#include "app/LaunchDialogRun.h"

#include "app/LaunchDialogStore.h"
#include "engine/DialogWindow.h"
#include "engine/QuillLogger.h"

void PrepareLaunchDialog(LaunchDialog& dialog, const std::string& settingsPath, const std::string& name)
{
    RememberedLaunch remembered;
    if (LoadRememberedLaunch(settingsPath, remembered)) {
        dialog.Offer(remembered);
    }
    if (!name.empty()) {
        dialog.OfferName(name);
    }
}

void FinishLaunchDialog(const LaunchDialog& dialog, const std::string& settingsPath)
{
    if (dialog.Answered() && !dialog.QuitRequested()) {
        SaveRememberedLaunch(settingsPath, dialog.Remember());
    }
}

LaunchAnswer RunLaunchDialog(const std::string& name, LaunchSettings& settings)
{
    const std::string settingsPath = LaunchSettingsPath();
    LaunchDialog dialog;
    PrepareLaunchDialog(dialog, settingsPath, name);

    Quill::DialogWindow window(dialog);
    std::string error;
    if (!window.Open(error)) {
        Quill::Logger()->Log("launch dialog: %s", error.c_str());
        return LaunchAnswer::NoWindow;
    }
    window.Run();
    // The game opens its own window once this one is gone.
    window.Close();
    if (!dialog.Answered()) {
        Quill::Logger()->Log("launch dialog: the window stopped delivering events");
        return LaunchAnswer::Quit;
    }
    if (dialog.QuitRequested()) {
        return LaunchAnswer::Quit;
    }
    FinishLaunchDialog(dialog, settingsPath);
    settings = dialog.ReadSettings();
    return LaunchAnswer::Launch;
}
