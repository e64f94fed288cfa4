#pragma once
#include "Engine/foundation/WeString.h"

// A dotted resource name as a relative path: every '.' becomes '\' (package.folder.file gives
// package\folder\file). The path helper of the platform layer accepts the '\'.
WeString DottedNameToPath(const WeString& name);
