#pragma once
#include "Engine/foundation/WeString.h"

// The folder of the running executable, without a trailing separator; computed once and kept for
// the life of the process (built on first use, so static initialisers may call it).
WeString& GetExeFolder();
