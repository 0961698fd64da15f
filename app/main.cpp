#include <cstdio>
#include <cstring>
#include <string>

#include "app/LaunchDialogRun.h"
#include "app/Recording.h"
#include "app/RunReplayer.h"
#include "app/TestApp.h"
#include "engine/LaunchContext.h"
#include "engine/QuillLogger.h"
#include "engine/RunOptions.h"

int main(int argc, char** argv)
{
    Quill::RunOptions options;
    bool showHelp = false;
    std::string error;
    if (!Quill::ParseRunOptions(argc, argv, options, showHelp, error)) {
        std::fprintf(stderr, "karsk: %s\n%s", error.c_str(), Quill::RunOptionsHelp());
        return 2;
    }
    if (showHelp) {
        std::fputs(Quill::RunOptionsHelp(), stdout);
        return 0;
    }

    // A recording brings its own seed, role and names.
    Recording recording;
    if (!options.replay.empty()) {
        std::string why;
        if (!LoadRecording(options.replay, recording, why)) {
            Quill::Logger()->Log("karsk: cannot replay: %s", why.c_str());
            return 1;
        }
        options.seed = recording.seed;
        options.port = recording.port;
        options.playerName = recording.playerName;
        options.frames = unsigned(recording.frames.size());
        options.host = recording.role == Recording::Host;
        options.connectAddress = recording.role == Recording::Joiner ? recording.address : std::string();
    }

    const std::string dataDir = Quill::FindDataDirectory(options.dataDir, argc > 0 ? argv[0] : "");
    if (dataDir.empty() || !Quill::EnterDataDirectory(dataDir)) {
        std::fprintf(stderr,
                     "karsk: cannot find the game data (a directory holding sprite.def); use --data DIR\n");
        return 1;
    }

    if (options.playerName.size() > 63)
        std::fprintf(stderr, "karsk: the name is cut to its first 63 characters\n");

    // A role on the command line, or a headless run, skips the dialog.
    const bool askFirst = !options.host && options.connectAddress.empty() && !options.headless;
    LaunchSettings chosen{};
    if (askFirst) {
        switch (RunLaunchDialog(options.playerName, chosen)) {
            case LaunchAnswer::NoWindow:
                std::fprintf(stderr, "karsk: Failed to create window\n");
                return 0;
            case LaunchAnswer::Quit:
                return 0;
            case LaunchAnswer::Launch:
                break;
        }
    }

    CTestApp app;
    app.SetRunOptions(options);
    if (askFirst) {
        // Both of the dialog's roles play over the network: host and listen, or join.
        app.SetNetworked(true);
        ApplyLaunchSettings(chosen, app);
    } else {
        // Without --host or --connect the game is a lone host.
        const bool joining = !options.connectAddress.empty();
        app.SetNetworked(options.host || joining);
        app.SetServer(!joining);
        if (joining)
            app.SetServerAddress(options.connectAddress.c_str());
        app.SetPlayerName(options.playerName.empty() ? "player" : options.playerName.c_str());
    }

    if (!options.replay.empty())
        app.SetReplay(std::make_unique<RunReplayer>(std::move(recording)));

    Quill::LaunchContext context;
    std::memset(&context, 0, sizeof context);
    std::strncpy(context.title, "QUILL App", sizeof context.title - 1);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    std::strncpy(context.commandLine, commandLine.c_str(), sizeof context.commandLine - 1);
    context.width = 512;
    context.height = 512;
    if (!app.Launch(&context)) {
        std::fprintf(stderr, "karsk: the game could not start; see the log for the reason\n");
        return 1;
    }
    if (app.Replay() && app.Replay()->OutOfStep()) {
        std::fprintf(stderr, "karsk: the replay went out of step at %s\n", app.Replay()->Problem().c_str());
        return 3;
    }
    return 0;
}
