#pragma once
// The contents of a text .x file as plain records: what XFileReader produces and XFileWriter writes.
// The loaders build device meshes, frames and the animation controller from them.
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/math/D3DXMath.h"

struct XFileMaterial
{
    std::string name;  // empty: written inline without a name
    D3DXCOLOR diffuse = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
    float power = 0.0f;
    D3DXVECTOR3 specular;
    D3DXVECTOR3 emissive;
    std::string texture;  // empty: no TextureFilename
};

struct XFileSkinWeights
{
    std::string bone;                // the frame that moves these vertices
    std::vector<uint32_t> vertices;  // indices into the mesh's positions
    std::vector<float> weights;      // one per vertex index
    D3DXMATRIX offset;               // mesh space to bone space
};

struct XFileMesh
{
    std::string name;
    std::vector<D3DXVECTOR3> positions;
    std::vector<std::vector<uint32_t>> faces;  // polygons of three or more position indices
    // MeshNormals: a normal index per face corner, faces as above. Empty: normals are computed.
    std::vector<D3DXVECTOR3> normals;
    std::vector<std::vector<uint32_t>> normalFaces;
    std::vector<D3DXVECTOR2> uvs;  // MeshTextureCoords: empty, or one per position
    // MeshMaterialList: one material index per face. No materials: one default material for every face.
    std::vector<XFileMaterial> materials;
    std::vector<uint32_t> faceMaterials;
    bool hasSkinHeader = false;
    uint32_t maxSkinWeightsPerVertex = 0, maxSkinWeightsPerFace = 0, skinBones = 0;
    std::vector<XFileSkinWeights> skinWeights;
};

struct XFileFrame
{
    std::string name;
    D3DXMATRIX transform = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    std::vector<XFileMesh> meshes;
    std::vector<XFileFrame> children;
};

// AnimationKey types 0 (rotation), 1 (scale), 2 (position) and 4 (matrix), times in ticks.
struct XFileRotationKey
{
    uint32_t time = 0;
    D3DXQUATERNION rotation;  // the D3DX quaternion of the rotation; stored in the file as w, x, y, z
};

struct XFileVectorKey
{
    uint32_t time = 0;
    D3DXVECTOR3 value;
};

struct XFileMatrixKey
{
    uint32_t time = 0;
    D3DXMATRIX matrix;
};

struct XFileAnimation
{
    std::string name;
    std::string frame;  // the animated frame's name
    std::vector<XFileRotationKey> rotations;
    std::vector<XFileVectorKey> scales;
    std::vector<XFileVectorKey> positions;
    std::vector<XFileMatrixKey> matrices;
};

struct XFileAnimationSet
{
    std::string name;
    std::vector<XFileAnimation> animations;
};

struct XFileData
{
    // Top-level frames in file order; a mesh outside every frame is held by an unnamed frame of its own.
    std::vector<XFileFrame> frames;
    uint32_t ticksPerSecond = 4800;  // AnimTicksPerSecond; 4800 when the file has none
    std::vector<XFileAnimationSet> animationSets;
};
