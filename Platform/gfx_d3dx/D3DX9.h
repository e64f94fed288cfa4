#pragma once
// The D3DX 9 surface the engine calls, over the graphics layer: buffers, effects and effect pools in our
// own effect text format (README.md), texture and image-file functions, and meshes.
#include "Platform/gfx/D3D9.h"
#include "Platform/math/D3DXMath.h"

typedef const char* LPCSTR;
typedef const char* D3DXHANDLE;

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DXERR_INVALIDDATA WE_D3DERR(2905)

#define D3DX_FILTER_NONE 1u
#define D3DX_FILTER_POINT 2u
#define D3DX_FILTER_LINEAR 3u
#define D3DX_FILTER_TRIANGLE 4u
#define D3DX_FILTER_BOX 5u

#define D3DXFX_DONOTSAVESTATE 1u
#define D3DXFX_DONOTSAVESHADERSTATE 2u
#define D3DXFX_DONOTSAVESAMPLERSTATE 4u
#define D3DXFX_NOT_CLONEABLE 0x800u
#define D3DXSHADER_OPTIMIZATION_LEVEL3 0x8000u

#define D3DXMESH_32BIT 0x001u
#define D3DXMESH_SYSTEMMEM 0x110u
#define D3DXMESH_MANAGED 0x220u
#define D3DXMESH_WRITEONLY 0x440u
#define D3DXMESH_DYNAMIC 0x880u
#define MAX_FVF_DECL_SIZE 65

#define D3DXTANGENT_GENERATE_IN_PLACE 0x400u

#ifndef WE_PALETTEENTRY_DEFINED
#define WE_PALETTEENTRY_DEFINED
struct PALETTEENTRY
{
    BYTE peRed, peGreen, peBlue, peFlags;
};
#endif

struct D3DXMACRO
{
    LPCSTR Name;
    LPCSTR Definition;
};
class ID3DXInclude;

enum D3DXIMAGE_FILEFORMAT : int32_t
{
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
};

struct D3DXIMAGE_INFO
{
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

class ID3DXBuffer : public IUnknown
{
public:
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

// ---- Effects ----

enum D3DXPARAMETER_CLASS : int32_t
{
    D3DXPC_SCALAR = 0,
    D3DXPC_VECTOR = 1,
    D3DXPC_MATRIX_ROWS = 2,
    D3DXPC_MATRIX_COLUMNS = 3,
    D3DXPC_OBJECT = 4,
    D3DXPC_STRUCT = 5
};

enum D3DXPARAMETER_TYPE : int32_t
{
    D3DXPT_VOID = 0,
    D3DXPT_BOOL = 1,
    D3DXPT_INT = 2,
    D3DXPT_FLOAT = 3,
    D3DXPT_STRING = 4,
    D3DXPT_TEXTURE = 5
};

#define D3DX_PARAMETER_SHARED 1u

struct D3DXPARAMETER_DESC
{
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

struct D3DXEFFECT_DESC
{
    LPCSTR Creator;
    UINT Parameters;
    UINT Techniques;
    UINT Functions;
};

struct D3DXTECHNIQUE_DESC
{
    LPCSTR Name;
    UINT Passes;
    UINT Annotations;
};

struct D3DXPASS_DESC
{
    LPCSTR Name;
    UINT Annotations;
    const DWORD* pVertexShaderFunction;
    const DWORD* pPixelShaderFunction;
};

class ID3DXEffectPool : public IUnknown
{
};

class ID3DXEffect : public IUnknown
{
public:
    virtual HRESULT GetDesc(D3DXEFFECT_DESC* desc) = 0;
    virtual HRESULT GetParameterDesc(D3DXHANDLE parameter, D3DXPARAMETER_DESC* desc) = 0;
    virtual HRESULT GetTechniqueDesc(D3DXHANDLE technique, D3DXTECHNIQUE_DESC* desc) = 0;
    virtual HRESULT GetPassDesc(D3DXHANDLE pass, D3DXPASS_DESC* desc) = 0;
    virtual D3DXHANDLE GetParameter(D3DXHANDLE parent, UINT index) = 0;
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) = 0;
    virtual D3DXHANDLE GetParameterBySemantic(D3DXHANDLE parent, LPCSTR semantic) = 0;
    virtual D3DXHANDLE GetTechnique(UINT index) = 0;
    virtual D3DXHANDLE GetTechniqueByName(LPCSTR name) = 0;
    virtual D3DXHANDLE GetPass(D3DXHANDLE technique, UINT index) = 0;
    virtual D3DXHANDLE GetAnnotation(D3DXHANDLE object, UINT index) = 0;
    virtual D3DXHANDLE GetAnnotationByName(D3DXHANDLE object, LPCSTR name) = 0;

    virtual HRESULT SetValue(D3DXHANDLE parameter, const void* data, UINT bytes) = 0;
    virtual HRESULT GetValue(D3DXHANDLE parameter, void* data, UINT bytes) = 0;
    virtual HRESULT SetBool(D3DXHANDLE parameter, BOOL value) = 0;
    virtual HRESULT GetBool(D3DXHANDLE parameter, BOOL* value) = 0;
    virtual HRESULT SetInt(D3DXHANDLE parameter, INT value) = 0;
    virtual HRESULT GetInt(D3DXHANDLE parameter, INT* value) = 0;
    virtual HRESULT SetFloat(D3DXHANDLE parameter, float value) = 0;
    virtual HRESULT GetFloat(D3DXHANDLE parameter, float* value) = 0;
    virtual HRESULT SetFloatArray(D3DXHANDLE parameter, const float* values, UINT count) = 0;
    virtual HRESULT GetFloatArray(D3DXHANDLE parameter, float* values, UINT count) = 0;
    virtual HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) = 0;
    virtual HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) = 0;
    virtual HRESULT SetVectorArray(D3DXHANDLE parameter, const D3DXVECTOR4* vectors, UINT count) = 0;
    virtual HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) = 0;
    virtual HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) = 0;
    virtual HRESULT SetMatrixArray(D3DXHANDLE parameter, const D3DXMATRIX* matrices, UINT count) = 0;
    virtual HRESULT SetString(D3DXHANDLE parameter, LPCSTR value) = 0;
    virtual HRESULT GetString(D3DXHANDLE parameter, LPCSTR* value) = 0;
    virtual HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) = 0;

    virtual HRESULT SetTechnique(D3DXHANDLE technique) = 0;
    virtual D3DXHANDLE GetCurrentTechnique() = 0;
    virtual HRESULT ValidateTechnique(D3DXHANDLE technique) = 0;
    virtual HRESULT Begin(UINT* passes, DWORD flags) = 0;
    virtual HRESULT BeginPass(UINT pass) = 0;
    virtual HRESULT CommitChanges() = 0;
    virtual HRESULT EndPass() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT GetPool(ID3DXEffectPool** pool) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

class ID3DXEffectCompiler : public IUnknown
{
public:
    // Checks the effect text and hands back the bytes D3DXCreateEffect takes (the text itself).
    virtual HRESULT CompileEffect(DWORD flags, ID3DXBuffer** effect, ID3DXBuffer** errors) = 0;
};

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer);
HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool);
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT bytes, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors);
HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, LPCSTR path, const D3DXMACRO* defines,
                                  ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors);
HRESULT D3DXCreateEffectCompilerFromFileA(LPCSTR path, const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                          ID3DXEffectCompiler** compiler, ID3DXBuffer** errors);

// ---- Textures and image files ----

HRESULT D3DXGetImageInfoFromFileA(LPCSTR path, D3DXIMAGE_INFO* info);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT bytes, D3DXIMAGE_INFO* info);
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR path, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT levels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                            UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            PALETTEENTRY* palette, IDirect3DTexture9** texture);
HRESULT D3DXCreateCubeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT size, UINT levels, DWORD usage,
                                         D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                         D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                         IDirect3DCubeTexture9** texture);
HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT size,
                                                UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                                DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                                PALETTEENTRY* palette, IDirect3DCubeTexture9** texture);
HRESULT D3DXCreateVolumeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT depth,
                                           UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                           DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                           PALETTEENTRY* palette, IDirect3DVolumeTexture9** texture);
HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                                  UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                                  D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                  D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                                  IDirect3DVolumeTexture9** texture);
// DDS only: every face and level of the texture, in its own format.
HRESULT D3DXSaveTextureToFileInMemory(ID3DXBuffer** buffer, D3DXIMAGE_FILEFORMAT format, IDirect3DBaseTexture9* texture,
                                      const PALETTEENTRY* palette);
// PNG only: a locked copy of an A8R8G8B8 or X8R8G8B8 surface (a system-memory surface, as GetRenderTargetData
// fills) written as RGB. srcRect and palette must be null.
HRESULT D3DXSaveSurfaceToFileA(LPCSTR path, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface,
                               const PALETTEENTRY* palette, const RECT* srcRect);
HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface9* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                   IDirect3DSurface9* source, const PALETTEENTRY* sourcePalette, const RECT* sourceRect,
                                   DWORD filter, D3DCOLOR colorKey);
HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY* palette, UINT sourceLevel, DWORD filter);

// ---- Meshes ----

struct D3DXATTRIBUTERANGE
{
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

class ID3DXMesh : public IUnknown
{
public:
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual HRESULT CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                              ID3DXMesh** clone) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
    virtual HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) = 0;
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) = 0;
};

HRESULT D3DXCreateMesh(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh);
UINT D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* declaration, DWORD stream);
// Per-vertex tangents from texture-coordinate derivatives, made orthogonal to the normal and normalised,
// written in place (D3DXTANGENT_GENERATE_IN_PLACE; other options, binormal and normal outputs and vertex
// splitting are not offered). The thresholds are accepted and unused.
HRESULT D3DXComputeTangentFrameEx(ID3DXMesh* mesh, DWORD texUsage, DWORD texIndex, DWORD tangentUsage,
                                  DWORD tangentIndex, DWORD binormalUsage, DWORD binormalIndex, DWORD normalUsage,
                                  DWORD normalIndex, DWORD options, const DWORD* adjacency, float partialEdgeThreshold,
                                  float singularPointThreshold, float normalEdgeThreshold, ID3DXMesh** meshOut,
                                  ID3DXBuffer** vertexMapping);

// ---- .x files: meshes, frame hierarchies, skin information and animation (text .x only) ----

typedef char* LPSTR;

#ifndef WE_D3DMATERIAL9_DEFINED
#define WE_D3DMATERIAL9_DEFINED
struct D3DMATERIAL9
{
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};
#endif

struct D3DXMATERIAL
{
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;  // null without a texture
};

enum D3DXEFFECTDEFAULTTYPE : int32_t
{
    D3DXEDT_STRING = 1,
    D3DXEDT_FLOATS = 2,
    D3DXEDT_DWORD = 3
};

struct D3DXEFFECTDEFAULT
{
    LPSTR pParamName;
    D3DXEFFECTDEFAULTTYPE Type;
    DWORD NumBytes;
    void* pValue;
};

// Text .x files name no effects: every instance has no file name and no defaults.
struct D3DXEFFECTINSTANCE
{
    LPSTR pEffectFilename;
    DWORD NumDefaults;
    D3DXEFFECTDEFAULT* pDefaults;
};

enum D3DXMESHDATATYPE : int32_t
{
    D3DXMESHTYPE_MESH = 1,
    D3DXMESHTYPE_PMESH = 2,
    D3DXMESHTYPE_PATCHMESH = 3
};

struct D3DXMESHDATA
{
    D3DXMESHDATATYPE Type;  // always D3DXMESHTYPE_MESH here
    ID3DXMesh* pMesh;
};

// Bone names, offsets and influences of a skinned mesh; kept with the mesh, never applied.
class ID3DXSkinInfo : public IUnknown
{
public:
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetNumBones() = 0;
    virtual LPCSTR GetBoneName(DWORD bone) = 0;
    virtual D3DXMATRIX* GetBoneOffsetMatrix(DWORD bone) = 0;  // null beyond the bones
    virtual DWORD GetNumBoneInfluences(DWORD bone) = 0;
    virtual HRESULT GetBoneInfluence(DWORD bone, DWORD* vertices, float* weights) = 0;
    virtual HRESULT Clone(ID3DXSkinInfo** clone) = 0;
};

struct D3DXMESHCONTAINER
{
    LPSTR Name;
    D3DXMESHDATA MeshData;
    D3DXMATERIAL* pMaterials;
    D3DXEFFECTINSTANCE* pEffects;
    DWORD NumMaterials;
    DWORD* pAdjacency;
    ID3DXSkinInfo* pSkinInfo;
    D3DXMESHCONTAINER* pNextMeshContainer;
};

struct D3DXFRAME
{
    LPSTR Name;
    D3DXMATRIX TransformationMatrix;
    D3DXMESHCONTAINER* pMeshContainer;
    D3DXFRAME* pFrameSibling;
    D3DXFRAME* pFrameFirstChild;
};

// The caller's allocator: the loader hands it names, meshes, materials, adjacency and skin information, and
// keeps its own references only for the call (an allocator keeping a mesh or skin adds a reference).
class ID3DXAllocateHierarchy
{
public:
    virtual HRESULT CreateFrame(LPCSTR name, D3DXFRAME** newFrame) = 0;
    virtual HRESULT CreateMeshContainer(LPCSTR name, const D3DXMESHDATA* meshData, const D3DXMATERIAL* materials,
                                        const D3DXEFFECTINSTANCE* effectInstances, DWORD numMaterials,
                                        const DWORD* adjacency, ID3DXSkinInfo* skinInfo,
                                        D3DXMESHCONTAINER** newMeshContainer) = 0;
    virtual HRESULT DestroyFrame(D3DXFRAME* frameToFree) = 0;
    virtual HRESULT DestroyMeshContainer(D3DXMESHCONTAINER* meshContainerToFree) = 0;
    virtual ~ID3DXAllocateHierarchy() = default;
};

class ID3DXLoadUserData;
class ID3DXAnimationCallbackHandler;

// Plays the file's animation sets on registered frame matrices. Track 0 plays the first set, looping over
// its length (its last key time), at weight 1 and speed 1; other tracks and events are not offered.
class ID3DXAnimationController : public IUnknown
{
public:
    virtual UINT GetMaxNumAnimationOutputs() = 0;
    virtual UINT GetMaxNumAnimationSets() = 0;
    virtual UINT GetMaxNumTracks() = 0;
    virtual UINT GetMaxNumEvents() = 0;
    virtual UINT GetNumAnimationSets() = 0;
    // An output is written by AdvanceTime when the first set animates its name; the first registration of a
    // name holds. Any of the four targets may be null.
    virtual HRESULT RegisterAnimationOutput(LPCSTR name, D3DXMATRIX* matrix, D3DXVECTOR3* scale,
                                            D3DXQUATERNION* rotation, D3DXVECTOR3* translation) = 0;
    virtual double GetTime() = 0;
    // Moves the time by timeDelta seconds and writes every animated output: scale x rotation x translation.
    virtual HRESULT AdvanceTime(double timeDelta, ID3DXAnimationCallbackHandler* callbackHandler) = 0;
    // The same sets (up to maxSets) at the same time, with no outputs: register the clone's own frames.
    virtual HRESULT CloneAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                             ID3DXAnimationController** clone) = 0;
};

// Every mesh of the file, each moved by its frame's combined matrix, merged into one mesh (POSITION, NORMAL,
// TEXCOORD0) with one attribute per material in order of appearance. Any output but the mesh may be null.
HRESULT D3DXLoadMeshFromXA(LPCSTR path, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials,
                           ID3DXMesh** mesh);
// Frames through the allocator (siblings in file order, the first top-level frame is the root), one mesh
// container per mesh with faces, and an animation controller when the file has animation sets (else null).
HRESULT D3DXLoadMeshHierarchyFromXInMemory(const void* data, DWORD bytes, DWORD options, IDirect3DDevice9* device,
                                           ID3DXAllocateHierarchy* allocator, ID3DXLoadUserData* userDataLoader,
                                           D3DXFRAME** rootFrame, ID3DXAnimationController** animationController);
HRESULT D3DXFrameDestroy(D3DXFRAME* root, ID3DXAllocateHierarchy* allocator);
// Registers the transformation matrix of every named frame of the tree with the controller.
HRESULT D3DXFrameRegisterNamedMatrices(D3DXFRAME* root, ID3DXAnimationController* controller);
