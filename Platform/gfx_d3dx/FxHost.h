#pragma once
// What an effect needs from the device that draws it. Without a host (the recording device, or no device)
// the effect keeps all its bookkeeping and builds nothing.
#include <cstdint>
#include <string>

struct FxPass;
class FxEffect;

class FxHost
{
public:
    virtual ~FxHost() = default;
    // Builds one pass's program from the two program bodies (the pass's #define lines already in front);
    // the host puts the #version line and its own preludes (attribute locations, alpha test) before them.
    // 0, with the compiler's log, on failure.
    virtual uint32_t BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log) = 0;
    virtual void DestroyProgram(uint32_t program) = 0;
    // Sets the pass's render and sampler states, its textures and program, and uploads every uniform the
    // program uses from the effect's current values.
    virtual void ApplyPass(const FxEffect& effect, const FxPass& pass) = 0;
    // Uploads changed values again inside a pass (CommitChanges).
    virtual void Commit(const FxEffect& effect, const FxPass& pass) = 0;
    // Leaves the pass: the device draws with its own programs again.
    virtual void EndPass() = 0;
};
