#pragma once
#include <cstdint>
#include <functional>

#include "Engine/foundation/WeRecycled.h"
#include "Engine/foundation/WeString.h"
#include "Engine/render/WeBaseModel.h"

class WeModelFrame;
class WeVirtualFileSystem;
struct WeFrameRecord;
class ID3DXAnimationController;

// A model instance: one mesh with a chosen preset (kind 0) or a hierarchy of frames from a .x description
// with an animation controller (kind 1). Comes from a pool; one owner each.
class WeModel : public WeRecycled<WeModel, WeBaseModel>
{
public:
    enum Kind : int32_t
    {
        KindMesh = 0,
        KindHierarchy = 1
    };
    static constexpr int32_t FileType = 7;
    static constexpr int32_t NewestVersion = 3;
    static constexpr int32_t VersionMarker = 11000;
    static constexpr int32_t Presets = 30;
    static constexpr int32_t NamesPerPreset = 16;

    WeModel() = default;
    ~WeModel() override;

    // Shares the other's meshes; a hierarchy is cloned whole with its own controller.
    void CopyFrom(WeBaseModel* other) override;
    // Every frame's sphere merged into its parent's; the model's sphere is the merge of them all.
    void UpdateBounds(bool scaled) override;
    void SetPreset(int32_t preset) override;
    void Draw(WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset) override;

    // Hierarchy models only: from the packages a model file (versions 1 to 3), else a path to a text .x file.
    bool Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages);
    // Advances the animation by the frame time x speed, then every frame's matrices under the parent.
    void Update(float speed, const D3DXMATRIX* parent, bool reset);

    // Calls `visit` for every frame of the tree: each frame, then its children, then its siblings.
    void ForEachFrame(const std::function<void(WeModelFrame*)>& visit) const;

    int32_t m_Kind = KindMesh;
    WeString m_Name;
    WeModelFrame* m_Root = nullptr;
    ID3DXAnimationController* m_Controller = nullptr;

private:
    void Clear();
    void Link(WeFrameRecord* frame, WeModelFrame* parent);
    void UpdateFrames(WeFrameRecord* frame, const D3DXMATRIX* parent, bool reset);
    void DrawFrames(WeFrameRecord* frame, WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset);
};
