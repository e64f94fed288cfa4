#include "Engine/render/WeCameraScreen.h"

// Constant-initialised, so it is valid during static initialisation.
WeCameraScreen g_CameraScreen;
