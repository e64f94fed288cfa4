#pragma once

// Returns true; the application's shutdown returns its result.
bool AlwaysTrue();
