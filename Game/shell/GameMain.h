#pragma once

// The game's entry: everything `main` does, reachable from tests. Returns the process's exit status.
int GameMain(int argc, char** argv);
