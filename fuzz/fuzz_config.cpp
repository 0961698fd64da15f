// Arbitrary bytes as one of the player's own files, chosen by the first byte
// (its value modulo 3): 0 controls.conf, 1 settings.ini, 2 launch.ini. The
// rest is the file, read by the loader the game uses for it (a remembered
// launch is then offered in the launch dialog).
#include <string>
#include <vector>

#include "app/LaunchDialog.h"
#include "app/LaunchDialogStore.h"
#include "app/TestApp.h"
#include "engine/Controls.h"
#include "fuzz/FuzzLog.h"
#include "fuzz/FuzzTempDir.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    EchoGameLogWhenAsked();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    ++data;
    --size;
    if (kind == 0) {
        const std::string path = FuzzTempDir() + "/controls.conf";
        WriteFuzzFile(path, data, size);
        Quill::Controls controls;
        controls.LoadOrCreate(path);
        for (size_t a = 0; a < Quill::kActionCount; ++a) {
            for (const Quill::Binding& b : controls.Bindings(static_cast<Quill::Action>(a)))
                (void)Quill::Controls::BindingName(b);
        }
    } else if (kind == 1) {
        const std::string path = FuzzTempDir() + "/settings.ini";
        WriteFuzzFile(path, data, size);
        SoundSettings settings;
        LoadSoundSettings(path, settings);
    } else {
        const std::string path = FuzzTempDir() + "/launch.ini";
        WriteFuzzFile(path, data, size);
        RememberedLaunch remembered;
        if (LoadRememberedLaunch(path, remembered)) {
            // Offered in the dialog, whose answer goes back to the file.
            LaunchDialog dialog;
            dialog.Offer(remembered);
            (void)dialog.Remember();
        }
    }
    return 0;
}
