#pragma once
// Effects with the handle-based interface of the helper library, over our own effect text (see README.md):
// parameters (shared ones live once in a pool), techniques and passes with render states and GLSL programs.
#include "Platform/gfx/D3D9.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR4.h"

typedef const char* D3DXHANDLE;
typedef const char* LPCSTR;

enum D3DXPARAMETER_CLASS : int32_t {
  D3DXPC_SCALAR = 0,
  D3DXPC_VECTOR = 1,
  D3DXPC_MATRIX_ROWS = 2,
  D3DXPC_MATRIX_COLUMNS = 3,
  D3DXPC_OBJECT = 4,
  D3DXPC_STRUCT = 5
};

enum D3DXPARAMETER_TYPE : int32_t {
  D3DXPT_VOID = 0,
  D3DXPT_BOOL = 1,
  D3DXPT_INT = 2,
  D3DXPT_FLOAT = 3,
  D3DXPT_STRING = 4,
  D3DXPT_TEXTURE = 5,
  D3DXPT_TEXTURE1D = 6,
  D3DXPT_TEXTURE2D = 7,
  D3DXPT_TEXTURE3D = 8,
  D3DXPT_TEXTURECUBE = 9
};

#define D3DXPARAMETER_SHARED 1

#define D3DXFX_DONOTSAVESTATE (1 << 0)
#define D3DXFX_DONOTSAVESHADERSTATE (1 << 1)
#define D3DXFX_DONOTSAVESAMPLERSTATE (1 << 2)
#define D3DXFX_NOT_CLONEABLE (1 << 11)
#define D3DXSHADER_OPTIMIZATION_LEVEL3 (1 << 15)

struct D3DXPARAMETER_DESC {
  LPCSTR Name;
  LPCSTR Semantic;
  D3DXPARAMETER_CLASS Class;
  D3DXPARAMETER_TYPE Type;
  UINT Rows;
  UINT Columns;
  UINT Elements;
  UINT Annotations;
  UINT StructMembers;
  DWORD Flags;
  UINT Bytes;
};

struct D3DXEFFECT_DESC {
  LPCSTR Creator;
  UINT Parameters;
  UINT Techniques;
  UINT Functions;
};

struct D3DXTECHNIQUE_DESC {
  LPCSTR Name;
  UINT Passes;
  UINT Annotations;
};

struct D3DXMACRO {
  LPCSTR Name;
  LPCSTR Definition;
};
class ID3DXInclude;

class ID3DXBuffer : public IUnknown {
 public:
  virtual void* GetBufferPointer() = 0;
  virtual DWORD GetBufferSize() = 0;
};

class ID3DXEffectPool : public IUnknown {};

class ID3DXEffect : public IUnknown {
 public:
  virtual HRESULT GetDesc(D3DXEFFECT_DESC* desc) = 0;
  virtual HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) = 0;
  virtual HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) = 0;
  // Parameters of the effect (parent null), or elements of an array parameter (parent the array).
  virtual D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) = 0;
  virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) = 0;
  virtual D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, LPCSTR semantic) = 0;
  virtual D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, LPCSTR name) = 0;
  virtual D3DXHANDLE GetTechnique(UINT index) = 0;
  virtual D3DXHANDLE GetTechniqueByName(LPCSTR name) = 0;
  virtual D3DXHANDLE GetCurrentTechnique() = 0;

  virtual HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) = 0;
  virtual HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) = 0;
  virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
  virtual HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) = 0;
  virtual HRESULT SetInt(D3DXHANDLE parameter, INT value) = 0;
  virtual HRESULT GetInt(D3DXHANDLE parameter, INT* value) = 0;
  virtual HRESULT SetFloat(D3DXHANDLE parameter, float value) = 0;
  virtual HRESULT GetFloat(D3DXHANDLE parameter, float* value) = 0;
  virtual HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) = 0;
  virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
  virtual HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) = 0;
  virtual HRESULT SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count) = 0;
  virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
  virtual HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) = 0;
  virtual HRESULT SetString(D3DXHANDLE parameter, LPCSTR text) = 0;
  virtual HRESULT GetString(D3DXHANDLE parameter, LPCSTR* text) = 0;
  virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;
  virtual HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) = 0;

  virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
  virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
  virtual HRESULT BeginPass(UINT pass) = 0;
  virtual HRESULT CommitChanges() = 0;
  virtual HRESULT EndPass() = 0;
  virtual HRESULT End() = 0;
  virtual HRESULT OnLostDevice() = 0;
  virtual HRESULT OnResetDevice() = 0;
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT GetPool(ID3DXEffectPool** pool) = 0;
};

class ID3DXEffectCompiler : public IUnknown {
 public:
  // Checks the source and hands back the bytes an effect is created from (the text itself).
  virtual HRESULT CompileEffect(DWORD flags, ID3DXBuffer** effect, ID3DXBuffer** errors) = 0;
};

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer);
HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool);
// Errors (a parse error with its line, or a GLSL log) go to `errors` when asked and to the debug output.
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT bytes, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors);
HRESULT D3DXCreateEffectCompilerFromFileA(LPCSTR path, const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                          ID3DXEffectCompiler** compiler, ID3DXBuffer** errors);

// Where diagnostics of this layer go (compile errors with the effect's name and the GLSL log). Standard
// error until the engine installs its debug output.
void GfxSetDebugOutput(void (*output)(const char* text));
void GfxDebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
