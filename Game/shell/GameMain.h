#pragma once

#include "Engine/foundation/WeString.h"

// The game's entry: everything `main` does, reachable from tests. Returns the process's exit status.
int GameMain(int argc, char** argv);

// The words of the command line, separated by blanks and tabs: "--no-movies" in any case switches the movies
// off, every other word is ignored.
void ParseCommandLine(const char* commandLine);

// The per-user save folder ("Kestrovane Demo" under the data home), created when missing; empty when there is
// none, and then nothing is loaded or saved.
WeString GetSaveFolder();
