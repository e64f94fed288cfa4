#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeCamera;
class WeFileStream;
class WeModel;
class WeTexture;

// The model drawn around the camera behind everything else; one per world, not an actor.
class WeSkyBox
{
public:
    static constexpr int32_t RecordVersion = 2;

    WeSkyBox() = default;
    virtual ~WeSkyBox();
    WeSkyBox(const WeSkyBox&) = delete;
    WeSkyBox& operator=(const WeSkyBox&) = delete;

    // Clears the model and cube texture, then asks for the model by name; a mode-1 sky takes its cube from
    // the environment slot of the material of the mesh's first subset in preset 0.
    virtual void LoadMesh();
    virtual void Tick() {}
    virtual void Save(WeFileStream& stream);
    // Versions 1 and 2 carry the name, 2 the mode; any other version is the version alone.
    virtual void Load(WeFileStream& stream);
    // Drawing through the sky-box renderer comes with the special renderers.
    void Render(WeCamera* camera, float alphaFactor);

    WeString m_ModelName;
    int32_t m_Mode = 0;  // 0 the model as a mesh, 1 the mesh's cube texture
    WeTexture* m_CubeTexture = nullptr;
    WeModel* m_Model = nullptr;
};
