#pragma once
// The plain records an effect text becomes: parameters with their values and annotations, techniques and
// their passes. Handles given out by an effect are the addresses of these records.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class FxType : uint8_t
{
    Bool,
    Int,
    Float,
    String,
    Texture
};

// The storage of one parameter. Shared parameters point at one FxValue owned by the pool.
struct FxValue
{
    std::vector<uint32_t> words;  // floats, ints and bools as 32-bit words, row-major, element after element
    std::string text;             // strings
    void* texture = nullptr;      // the texture object set on a texture parameter (not owned)
    uint64_t version = 1;         // bumped by every write, so uploads can skip unchanged values
};

struct FxParameter
{
    std::string name;
    std::string semantic;
    FxType type = FxType::Float;
    uint8_t rows = 1, columns = 1;  // float4x4: 4 x 4; float3: 1 x 3
    uint32_t elements = 0;          // 0 for a single value, else the array size
    bool shared = false;
    std::vector<std::unique_ptr<FxParameter>> annotations;
    FxValue own;
    FxValue* value = &own;  // &own, or the pool's value when shared

    uint32_t Words() const
    {
        return type == FxType::String || type == FxType::Texture ? 0u : rows * columns * (elements ? elements : 1u);
    }
    uint32_t Bytes() const { return Words() * 4u; }
};

// A texture parameter bound to a texture unit by a pass, with the sampler states it sets there.
struct FxSampler
{
    uint32_t unit = 0;
    std::string texture;                                // name of a texture parameter
    std::vector<std::pair<uint32_t, uint32_t>> states;  // D3DSAMPLERSTATETYPE, value
};

struct FxPass
{
    std::string name;
    std::vector<std::pair<uint32_t, uint32_t>> renderStates;  // D3DRENDERSTATETYPE, value (floats as bits)
    std::vector<FxSampler> samplers;
    std::string defines;  // "A B=1": #define lines put before both programs
    // GLSL bodies, without #version; shared between passes naming one code block and between variants.
    std::shared_ptr<const std::string> vertexSource;
    std::shared_ptr<const std::string> fragmentSource;
    std::vector<std::unique_ptr<FxParameter>> annotations;
    // Filled by the runtime.
    uint32_t program = 0;
    bool built = false;
    bool failed = false;
};

struct FxTechnique
{
    std::string name;
    std::vector<std::unique_ptr<FxParameter>> annotations;
    std::vector<std::unique_ptr<FxPass>> passes;
};

// A sampler uniform tied to a texture stage: it samples whatever the engine binds there and binds nothing.
struct FxStageSampler
{
    std::string name;
    uint32_t unit = 0;
};

struct FxEffectData
{
    std::string name;  // from an `effect "name";` statement, for messages
    std::vector<FxStageSampler> stageSamplers;
    std::vector<std::unique_ptr<FxParameter>> parameters;
    std::vector<std::unique_ptr<FxTechnique>> techniques;
};
