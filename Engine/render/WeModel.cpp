#include "Engine/render/WeModel.h"

#include <cstring>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeMeshHierarchy.h"
#include "Engine/render/WeModelFrame.h"
#include "Engine/render/WeRenderDevice.h"

namespace
{

WeFrameRecord* RecordOf(D3DXFRAME* frame)
{
    return static_cast<WeFrameRecord*>(frame);
}

// What remains of the stream's file or member.
int64_t Remaining(WeFileStream& stream)
{
    return stream.GetEndLimit() - stream.Tell();
}

// Reads `count` names of one preset into the mesh; names beyond the table are read and dropped. False
// when the count cannot be in what is left.
bool ReadPresetNames(WeFileStream& stream, WeMesh* mesh, int32_t preset, int64_t count)
{
    // Every stored string takes at least its two length bytes.
    if (count < 0 || count * 2 > Remaining(stream))
        return false;
    for (int64_t i = 0; i < count; ++i)
    {
        WeString name = stream.ReadString();
        if (mesh != nullptr && i < WeModel::NamesPerPreset)
            mesh->m_Presets[preset].names[i] = name;
    }
    return !stream.HadShortRead();
}

// The preset names of one container, in the layout of the version.
bool ReadContainerNames(WeFileStream& stream, int32_t version, WeMeshContainerRecord* container)
{
    WeMesh* mesh = container->mesh.get();
    if (version == 3)
    {
        int64_t count = stream.ReadInt32();
        if (stream.HadShortRead() || count < 0 || count * 2 * WeModel::Presets > Remaining(stream))
            return false;
        for (int32_t preset = 0; preset < WeModel::Presets; ++preset)
            if (!ReadPresetNames(stream, mesh, preset, count))
                return false;
        return true;
    }
    for (int32_t preset = 0; preset < WeModel::Presets; ++preset)
    {
        int64_t count = stream.ReadInt32();
        if (stream.HadShortRead() || !ReadPresetNames(stream, mesh, preset, count))
            return false;
    }
    return true;
}

// Containers in the order they were written: a frame's own, then (the same way) its following siblings, then
// its first child. Along a sibling chain that is every frame's own containers first, then the children from
// the last sibling back to the first; only the nesting recurses.
bool ReadFrameNames(WeFileStream& stream, int32_t version, D3DXFRAME* frame)
{
    std::vector<D3DXFRAME*> chain;
    for (D3DXFRAME* f = frame; f != nullptr; f = f->pFrameSibling)
        chain.push_back(f);
    for (D3DXFRAME* f : chain)
        for (D3DXMESHCONTAINER* c = f->pMeshContainer; c != nullptr; c = c->pNextMeshContainer)
            if (!ReadContainerNames(stream, version, static_cast<WeMeshContainerRecord*>(c)))
                return false;
    for (auto f = chain.rbegin(); f != chain.rend(); ++f)
        if ((*f)->pFrameFirstChild != nullptr && !ReadFrameNames(stream, version, (*f)->pFrameFirstChild))
            return false;
    return true;
}

void WalkFrames(WeModelFrame* frame, const std::function<void(WeModelFrame*)>& visit)
{
    for (WeModelFrame* f = frame; f != nullptr;)
    {
        visit(f);
        if (f->m_Frame->pFrameFirstChild != nullptr)
            WalkFrames(RecordOf(f->m_Frame->pFrameFirstChild)->modelFrame, visit);
        D3DXFRAME* sibling = f->m_Frame->pFrameSibling;
        f = sibling != nullptr ? RecordOf(sibling)->modelFrame : nullptr;
    }
}

// A copy of the frame tree (siblings and children too) with containers sharing the engine meshes; null when a
// frame cannot be made (what was copied is destroyed).
WeFrameRecord* CloneFrames(WeMeshHierarchy& hierarchy, const WeFrameRecord* frame)
{
    D3DXFRAME* first = nullptr;
    D3DXFRAME** slot = &first;
    for (const WeFrameRecord* f = frame; f != nullptr; f = RecordOf(f->pFrameSibling))
    {
        D3DXFRAME* made = nullptr;
        if (FAILED(hierarchy.CreateFrame(f->Name, &made)) || made == nullptr)
        {
            if (first != nullptr)
                D3DXFrameDestroy(first, &hierarchy);
            return nullptr;
        }
        *slot = made;
        slot = &made->pFrameSibling;
        WeFrameRecord* copy = RecordOf(made);
        copy->TransformationMatrix = f->TransformationMatrix;
        copy->modelFrame->CopyFrom(f->modelFrame);
        D3DXMESHCONTAINER** tail = &copy->pMeshContainer;
        for (D3DXMESHCONTAINER* c = f->pMeshContainer; c != nullptr; c = c->pNextMeshContainer)
        {
            *tail = WeMeshHierarchy::CloneContainer(*static_cast<WeMeshContainerRecord*>(c));
            tail = &(*tail)->pNextMeshContainer;
        }
        if (f->pFrameFirstChild != nullptr)
        {
            copy->pFrameFirstChild = CloneFrames(hierarchy, RecordOf(f->pFrameFirstChild));
            if (copy->pFrameFirstChild == nullptr)
            {
                D3DXFrameDestroy(first, &hierarchy);
                return nullptr;
            }
        }
    }
    return RecordOf(first);
}

bool ReadWholeFile(const WeString& path, std::vector<uint8_t>* bytes)
{
    WeFileStream file;
    if (!file.Open(path))
        return false;
    const int64_t size = file.GetSize();
    if (size <= 0 || size > INT32_MAX)
        return false;
    bytes->resize(size_t(size));
    return file.Read(bytes->data(), size) == size;
}

}  // namespace

WeModel::~WeModel()
{
    Clear();
}

void WeModel::Clear()
{
    if (m_Root != nullptr)
    {
        WeMeshHierarchy hierarchy;
        D3DXFrameDestroy(m_Root->m_Frame, &hierarchy);
        m_Root = nullptr;
    }
    if (m_Controller != nullptr)
    {
        m_Controller->Release();
        m_Controller = nullptr;
    }
}

void WeModel::ForEachFrame(const std::function<void(WeModelFrame*)>& visit) const
{
    if (m_Root != nullptr)
        WalkFrames(m_Root, visit);
}

bool WeModel::Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages)
{
    if (m_Kind != KindHierarchy)
        return false;
    Clear();
    m_Mesh = nullptr;
    std::vector<uint8_t> bytes;
    int32_t version = NewestVersion;
    WeFileStream* stream = nullptr;
    if (fromPackages)
    {
        if (vfs == nullptr || !vfs->Open(name, FileType))
            return false;
        stream = vfs->GetStream();
        version = stream->ReadInt32();
        if (version == VersionMarker)
            version = stream->ReadInt32();
        const int64_t size = stream->ReadInt32();
        if (stream->HadShortRead() || version < 1 || version > NewestVersion || size <= 0 || size > Remaining(*stream))
        {
            vfs->Close();
            return false;
        }
        bytes.resize(size_t(size));
        if (stream->Read(bytes.data(), size) != size)
        {
            vfs->Close();
            return false;
        }
    }
    else
    {
        // The extension after the last dot: only text .x files are read from a path.
        const char* dot = std::strrchr(name.c_str(), '.');
        if (dot == nullptr || WeString(dot + 1).ToLower() != "x" || !ReadWholeFile(name, &bytes))
            return false;
    }

    WeMeshHierarchy hierarchy;
    D3DXFRAME* root = nullptr;
    ID3DXAnimationController* controller = nullptr;
    HRESULT loaded =
        D3DXLoadMeshHierarchyFromXInMemory(bytes.data(), DWORD(bytes.size()), D3DXMESH_MANAGED,
                                           g_RenderDevice.GetDevice(), &hierarchy, nullptr, &root, &controller);
    bytes.clear();
    bytes.shrink_to_fit();
    if (FAILED(loaded) || root == nullptr)
    {
        if (root != nullptr)
            D3DXFrameDestroy(root, &hierarchy);
        if (controller != nullptr)
            controller->Release();
        if (stream != nullptr)
            vfs->Close();
        return false;
    }
    m_Root = RecordOf(root)->modelFrame;
    m_Controller = controller;

    if (stream != nullptr)
    {
        bool intact = ReadFrameNames(*stream, version, root);
        if (version == 1)
        {
            stream->ReadInt32();
            stream->ReadFloat();
            stream->ReadByte();
        }
        else if (version == 2)
            stream->ReadFloat();
        vfs->Close();
        if (!intact)
        {
            Clear();
            return false;
        }
    }
    m_Name = name;
    Link(RecordOf(root), nullptr);
    return true;
}

void WeModel::Link(WeFrameRecord* frame, WeModelFrame* parent)
{
    for (WeFrameRecord* f = frame; f != nullptr; f = RecordOf(f->pFrameSibling))
    {
        f->modelFrame->m_Parent = parent;
        f->modelFrame->m_Frame = f;
        WeMeshContainerRecord* container = static_cast<WeMeshContainerRecord*>(f->pMeshContainer);
        f->modelFrame->m_Mesh = container != nullptr ? container->mesh.get() : nullptr;
        Link(RecordOf(f->pFrameFirstChild), f->modelFrame);
    }
}

void WeModel::CopyFrom(WeBaseModel* other)
{
    WeModel* model = dynamic_cast<WeModel*>(other);
    if (model == nullptr || model == this)
        return;
    Clear();
    WeBaseModel::CopyFrom(other);
    m_Kind = model->m_Kind;
    m_Name = model->m_Name;
    if (m_Kind != KindHierarchy || model->m_Root == nullptr)
        return;
    WeMeshHierarchy hierarchy;
    WeFrameRecord* root = CloneFrames(hierarchy, model->m_Root->m_Frame);
    if (root == nullptr)
        return;
    m_Root = root->modelFrame;
    Link(root, nullptr);
    ID3DXAnimationController* source = model->m_Controller;
    if (source != nullptr &&
        SUCCEEDED(source->CloneAnimationController(source->GetMaxNumAnimationOutputs(),
                                                   source->GetMaxNumAnimationSets(), source->GetMaxNumTracks(),
                                                   source->GetMaxNumEvents(), &m_Controller)) &&
        m_Controller != nullptr)
        D3DXFrameRegisterNamedMatrices(root, m_Controller);
}

void WeModel::Update(float speed, const D3DXMATRIX* parent, bool reset)
{
    if (m_Kind != KindHierarchy)
        return;
    if (m_Controller != nullptr)
        m_Controller->AdvanceTime(double(g_Timer.m_FrameDeltaF * speed), nullptr);
    if (m_Root != nullptr)
        UpdateFrames(m_Root->m_Frame, parent, reset);
}

void WeModel::UpdateFrames(WeFrameRecord* frame, const D3DXMATRIX* parent, bool reset)
{
    for (WeFrameRecord* f = frame; f != nullptr; f = RecordOf(f->pFrameSibling))
    {
        f->modelFrame->UpdateMatrix(parent, reset);
        UpdateFrames(RecordOf(f->pFrameFirstChild), &f->modelFrame->GetCurrent(), reset);
    }
}

void WeModel::UpdateBounds(bool scaled)
{
    if (m_Kind != KindHierarchy)
    {
        WeBaseModel::UpdateBounds(scaled);
        return;
    }
    m_SphereCenter = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_SphereRadius = 0.0f;
    if (m_Root == nullptr)
    {
        m_SubtreeCenter = m_SphereCenter;
        m_SubtreeRadius = 0.0f;
        return;
    }
    // Each frame's own sphere first, then every subtree merged into its parent's, deepest first.
    ForEachFrame([scaled](WeModelFrame* f) { f->UpdateBounds(scaled); });
    std::function<void(WeFrameRecord*)> gather = [&gather](WeFrameRecord* frame)
    {
        for (WeFrameRecord* c = RecordOf(frame->pFrameFirstChild); c != nullptr; c = RecordOf(c->pFrameSibling))
        {
            gather(c);
            WeMergeSphere(frame->modelFrame->m_SubtreeCenter, frame->modelFrame->m_SubtreeRadius,
                          c->modelFrame->m_SubtreeCenter, c->modelFrame->m_SubtreeRadius);
        }
    };
    for (WeFrameRecord* top = m_Root->m_Frame; top != nullptr; top = RecordOf(top->pFrameSibling))
        gather(top);
    m_SphereCenter = m_Root->m_SubtreeCenter;
    m_SphereRadius = m_Root->m_SubtreeRadius;
    for (WeFrameRecord* top = RecordOf(m_Root->m_Frame->pFrameSibling); top != nullptr;
         top = RecordOf(top->pFrameSibling))
        WeMergeSphere(m_SphereCenter, m_SphereRadius, top->modelFrame->m_SubtreeCenter,
                      top->modelFrame->m_SubtreeRadius);
    m_SubtreeCenter = m_SphereCenter;
    m_SubtreeRadius = m_SphereRadius;
}

void WeModel::SetPreset(int32_t preset)
{
    if (m_Kind != KindHierarchy)
    {
        WeBaseModel::SetPreset(preset);
        return;
    }
    ForEachFrame([preset](WeModelFrame* f) { f->SetPreset(preset); });
}

void WeModel::Draw(WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset)
{
    if (m_Kind != KindHierarchy)
    {
        WeBaseModel::Draw(camera, queue, actor, preset);
        return;
    }
    // Every frame queues its own subsets under its combined matrix. Walked by hand rather than through
    // ForEachFrame: this runs for every visible actor each frame and must not allocate.
    if (m_Root != nullptr)
        DrawFrames(m_Root->m_Frame, camera, queue, actor, preset);
}

void WeModel::DrawFrames(WeFrameRecord* frame, WeCamera* camera, WeRenderQueue* queue, WeActor* actor, int32_t preset)
{
    for (WeFrameRecord* f = frame; f != nullptr; f = RecordOf(f->pFrameSibling))
    {
        f->modelFrame->Draw(camera, queue, actor, preset);
        DrawFrames(RecordOf(f->pFrameFirstChild), camera, queue, actor, preset);
    }
}
