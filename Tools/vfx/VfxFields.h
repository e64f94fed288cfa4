#pragma once
#include <string>
#include <vector>

#include "Engine/world/WeLight.h"
#include "Engine/world/WeLightParams.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticleEmitter.h"

// The fields of lights, key frames, particle systems and emitters by name, as the asset sources and the
// map descriptions give them (reference in Tools/vfx/README.md). A value is its words: numbers in the C
// locale, booleans 0 or 1, names as one word. Each Apply returns false with a message (without file and
// line: the caller adds them) for an unknown key, a malformed number, a wrong count of words or a value
// out of range.
namespace VfxFields
{

using Words = std::vector<std::string>;

bool IsKeyFrameField(const std::string& key);
bool IsEmitterField(const std::string& key);

bool ApplyLight(WeLight& light, const std::string& key, const Words& value, std::string& error);
bool ApplyKeyFrame(WeLightParams& frame, const std::string& key, const Words& value, std::string& error);
bool ApplySystem(WeNewParticleSystem& system, const std::string& key, const Words& value, std::string& error);
bool ApplyEmitter(WeParticleEmitter& emitter, const std::string& key, const Words& value, std::string& error);

// Checks what only the whole can tell (a start alpha that would kill every particle at once).
bool CheckEmitter(const WeParticleEmitter& emitter, std::string& error);

// Whole sources: "[System]" then "[Emitter1]", "[Emitter2]", ...; "[Light]" then "[KeyFrame1]", ...
// False with "file:line: message".
bool ParseParticleSource(const std::string& text, const std::string& file, WeNewParticleSystem& out,
                         std::string& error);
bool ParseLightSource(const std::string& text, const std::string& file, WeLight& out, std::string& error);

// Every field as read back, one "key=value" a line under its section, in the sources' own format.
std::string DescribeSystem(WeNewParticleSystem& system);
std::string DescribeLight(WeLight& light);

constexpr int MaxEmitters = 64;
constexpr int MaxKeyFrames = 256;

}  // namespace VfxFields
