// Race steps whose owners have not written them yet: each does nothing until its owner moves it into its own
// source file.
#include "Game/shell/CPlayGamePhase.h"
