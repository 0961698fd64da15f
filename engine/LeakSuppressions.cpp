// SDL 2 (under the SDL 1.2 layer) keeps a few allocations per video mode
// after SDL_Quit; they are not ours, so the leak checker skips them. Built
// into every test program, and into the game in sanitized builds, which would
// otherwise end every run with status 1.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libSDL2-2.0.so\nleak:libSDL-1.2.so\n";
}
