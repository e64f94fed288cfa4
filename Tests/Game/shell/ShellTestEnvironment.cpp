// Headless by default, whoever starts the binary: scripts/test sets the same, and a value already in the
// environment wins.
#include <cstdlib>

namespace
{
struct HeadlessDefaults
{
    HeadlessDefaults()
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
    }
} g_HeadlessDefaults;
}  // namespace
