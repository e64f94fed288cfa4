#pragma once
// An effect in the handle-based shape the engine uses: parameters, annotations and techniques looked up by
// name or index, values set and read through handles, and techniques run pass by pass. A handle is the
// address of the record it names; a handle argument may also be a name, as with the original interface.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Platform/gfx_d3dx/FxEffectData.h"

class FxHost;
class FxPool;

typedef const char* FxHandle;

class FxEffect
{
public:
    FxEffect() = default;
    ~FxEffect();
    FxEffect(const FxEffect&) = delete;
    FxEffect& operator=(const FxEffect&) = delete;

    // Parses the text and joins the shared parameters to the pool (which must outlive the effect). False,
    // with the reason in `error`, on a broken text or a shared parameter that disagrees with the pool.
    bool Create(std::string_view text, FxPool* pool, FxHost* host, const std::string& name, std::string* error);

    const std::string& Name() const { return m_Name; }
    const FxEffectData& Data() const { return m_Data; }

    // Lookups; 0 when absent. A null parent means the effect's top level.
    FxHandle GetParameterByName(FxHandle parent, const char* name) const;
    FxHandle GetParameterBySemantic(FxHandle parent, const char* semantic) const;
    FxHandle GetParameter(FxHandle parent, uint32_t index) const;
    FxHandle GetAnnotation(FxHandle object, uint32_t index) const;
    FxHandle GetAnnotationByName(FxHandle object, const char* name) const;
    FxHandle GetTechniqueByName(const char* name) const;
    FxHandle GetTechnique(uint32_t index) const;
    FxHandle GetPass(FxHandle technique, uint32_t index) const;
    uint32_t ParameterCount() const { return uint32_t(m_Data.parameters.size()); }
    uint32_t TechniqueCount() const { return uint32_t(m_Data.techniques.size()); }

    // The record a handle (or name) stands for, or null.
    const FxParameter* Parameter(FxHandle h) const;
    const FxTechnique* Technique(FxHandle h) const;

    // Values. Sizes are in bytes or counts of the caller's data; writes beyond the parameter are dropped and
    // reads beyond it give zeros. Numbers convert between float, int and bool as the parameter's type asks.
    bool SetValue(FxHandle h, const void* data, uint32_t bytes);
    bool GetValue(FxHandle h, void* data, uint32_t bytes) const;
    bool SetBool(FxHandle h, bool v);
    bool GetBool(FxHandle h, bool* v) const;
    bool SetInt(FxHandle h, int32_t v);
    bool GetInt(FxHandle h, int32_t* v) const;
    bool SetFloat(FxHandle h, float v);
    bool GetFloat(FxHandle h, float* v) const;
    bool SetFloatArray(FxHandle h, const float* v, uint32_t count);
    bool GetFloatArray(FxHandle h, float* v, uint32_t count) const;
    // Vectors are four floats each; a parameter narrower than four columns takes the leading ones.
    bool SetVector(FxHandle h, const float* v4);
    bool GetVector(FxHandle h, float* v4) const;
    bool SetVectorArray(FxHandle h, const float* v4s, uint32_t count);
    // Matrices are 16 floats, row-major; a smaller parameter takes the leading rows and columns.
    bool SetMatrix(FxHandle h, const float* m16);
    bool GetMatrix(FxHandle h, float* m16) const;
    bool SetMatrixArray(FxHandle h, const float* m16s, uint32_t count);
    bool SetString(FxHandle h, const char* s);
    bool GetString(FxHandle h, const char** s) const;
    bool SetTexture(FxHandle h, void* texture);
    bool GetTexture(FxHandle h, void** texture) const;

    // Running a technique. Programs of a technique are built the first time it is chosen.
    bool SetTechnique(FxHandle technique);
    FxHandle GetCurrentTechnique() const { return reinterpret_cast<FxHandle>(m_Current); }
    bool ValidateTechnique(FxHandle technique);
    bool Begin(uint32_t* passes);
    bool BeginPass(uint32_t pass);
    bool CommitChanges();
    bool EndPass();
    bool End();
    bool InPass() const { return m_ActivePass != nullptr; }

    // The device went away or came back: built programs are dropped and rebuilt on next use.
    void OnLostDevice();
    void OnResetDevice() {}

    // Where compile failures go (the engine points it at its debug output); stderr until set.
    static void SetReporter(void (*report)(const char* text));
    // Sends a message to that reporter (the engine's effect loads report texts the parser refused).
    static void Report(const char* text);

private:
    enum class Kind : uint8_t
    {
        Parameter,
        Annotation,
        Technique,
        Pass
    };
    bool Build(FxTechnique* technique);
    FxParameter* Writable(FxHandle h);
    const FxParameter* Number(FxHandle h) const;
    bool WriteFloats(FxHandle h, const float* v, uint32_t count);
    bool ReadFloats(FxHandle h, float* v, uint32_t count) const;
    void Register(std::vector<std::unique_ptr<FxParameter>>& list, Kind kind);
    void ReleasePrograms();

    std::string m_Name;
    FxEffectData m_Data;
    FxHost* m_Host = nullptr;
    std::unordered_map<const void*, Kind> m_Handles;
    std::unordered_map<std::string, FxTechnique*> m_TechniqueNames;  // variant effects have thousands
    FxTechnique* m_Current = nullptr;
    bool m_Begun = false;
    FxPass* m_ActivePass = nullptr;
};
