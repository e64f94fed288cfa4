#pragma once
// An effect built from our effect text. Handles are the addresses of the parameter and technique records
// below; a handle that is not one of them is taken as a name, as the helper library allows.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "Platform/gfx/GfxEffectPool.h"
#include "Platform/gfx/GfxEffectStorage.h"
#include "Platform/gfx/GfxEffectText.h"

class GfxDevice;

class GfxEffect : public GfxRefCounted<ID3DXEffect> {
 public:
  GfxEffect(GfxDevice* device, GfxEffectPool* pool, GfxEffectDef def);
  // Connects shared parameters to the pool; false (with the reason) when a shared type disagrees.
  bool Init(std::string* error);
  // The name diagnostics use (the effect text itself carries none).
  void SetName(const std::string& name) { m_Name = name; }

  HRESULT GetDesc(D3DXEFFECT_DESC* desc) override;
  HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) override;
  HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) override;
  D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) override;
  D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override;
  D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, LPCSTR semantic) override;
  D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, LPCSTR name) override;
  D3DXHANDLE GetTechnique(UINT index) override;
  D3DXHANDLE GetTechniqueByName(LPCSTR name) override;
  D3DXHANDLE GetCurrentTechnique() override;
  HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) override;
  HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) override;
  HRESULT SetBool(D3DXHANDLE parameter, BOOL value) override;
  HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) override;
  HRESULT SetInt(D3DXHANDLE parameter, INT value) override;
  HRESULT GetInt(D3DXHANDLE parameter, INT* value) override;
  HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
  HRESULT GetFloat(D3DXHANDLE parameter, float* value) override;
  HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) override;
  HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
  HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) override;
  HRESULT SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count) override;
  HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
  HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) override;
  HRESULT SetString(D3DXHANDLE parameter, LPCSTR text) override;
  HRESULT GetString(D3DXHANDLE parameter, LPCSTR* text) override;
  HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) override;
  HRESULT SetTechnique(D3DXHANDLE technique) override;
  HRESULT Begin(UINT* passes, DWORD flags) override;
  HRESULT BeginPass(UINT pass) override;
  HRESULT CommitChanges() override;
  HRESULT EndPass() override;
  HRESULT End() override;
  HRESULT OnLostDevice() override { return D3D_OK; }
  HRESULT OnResetDevice() override { return D3D_OK; }
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT GetPool(ID3DXEffectPool** pool) override;

 private:
  struct Parameter {
    GfxEffectParamDef def;
    std::shared_ptr<GfxEffectStorage> storage;
    std::vector<std::unique_ptr<Parameter>> annotations;
  };
  struct Pass {
    const GfxEffectPassDef* def = nullptr;
    uint32_t program = 0;
    std::vector<int> locations;  // per parameter
  };
  struct Technique {
    const GfxEffectTechniqueDef* def = nullptr;
    std::vector<Pass> passes;
    bool built = false, broken = false;
  };
  ~GfxEffect() override;
  Parameter* FindParameter(D3DXHANDLE handle);
  Technique* FindTechnique(D3DXHANDLE handle);
  bool Build(Technique& technique);
  void Upload(const Pass& pass);
  void BindTextures(const Pass& pass);
  // Writes `count` numbers of a type into the parameter from its first word on, converting as needed.
  HRESULT Store(Parameter* p, const void* values, UINT count, D3DXPARAMETER_TYPE from);
  HRESULT Load(Parameter* p, void* values, UINT count, D3DXPARAMETER_TYPE to);

  GfxDevice* m_Device;
  GfxEffectPool* m_Pool;
  GfxEffectDef m_Def;
  std::string m_Name = "(unnamed effect)";
  std::vector<std::unique_ptr<Parameter>> m_Parameters;
  std::vector<std::unique_ptr<Technique>> m_Techniques;
  std::unordered_set<const void*> m_ParameterHandles, m_TechniqueHandles;
  Technique* m_Current = nullptr;
  Technique* m_Running = nullptr;  // between Begin and End
  int m_Pass = -1;
  bool m_SaveState = false;
  std::vector<std::pair<int, DWORD>> m_SavedStates;
  std::vector<std::pair<std::pair<UINT, int>, DWORD>> m_SavedSamplerStates;
};

// Names an effect for its diagnostics (compile errors name the effect and the technique).
void GfxSetEffectName(ID3DXEffect* effect, const char* name);
