#include <gtest/gtest.h>

#include <cmath>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tests/Platform/gfx/GfxTestDevice.h"
#include "Tests/Platform/gfx_d3dx/XFileTestData.h"

namespace
{

void ExpectNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(static_cast<const float*>(a)[i], static_cast<const float*>(b)[i], tolerance) << "element " << i;
}

D3DXMATRIX Srt(const D3DXVECTOR3& s, const D3DXQUATERNION& r, const D3DXVECTOR3& t)
{
    D3DXMATRIX ms, mr, mt;
    D3DXMatrixScaling(&ms, s.x, s.y, s.z);
    D3DXMatrixRotationQuaternion(&mr, &r);
    D3DXMatrixTranslation(&mt, t.x, t.y, t.z);
    return ms * mr * mt;
}

D3DXQUATERNION AboutY(float angle)
{
    D3DXQUATERNION q;
    D3DXVECTOR3 axis(0, 1, 0);
    return *D3DXQuaternionRotationAxis(&q, &axis, angle);
}

D3DXFRAME* FindFrame(D3DXFRAME* frame, const char* name)
{
    for (; frame; frame = frame->pFrameSibling)
    {
        if (frame->Name && std::strcmp(frame->Name, name) == 0)
            return frame;
        if (D3DXFRAME* found = FindFrame(frame->pFrameFirstChild, name))
            return found;
    }
    return nullptr;
}

class D3dxAnimation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
        ASSERT_NE(t->device, nullptr);
    }
    void TearDown() override
    {
        if (controller)
            controller->Release();
        if (root)
        {
            EXPECT_EQ(D3DXFrameDestroy(root, &alloc), D3D_OK);
        }
        EXPECT_EQ(alloc.liveFrames, 0);
        t.reset();
    }
    void Load(const XFileData& data)
    {
        std::string text = Written(data);
        ASSERT_EQ(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, t->device,
                                                     &alloc, nullptr, &root, &controller),
                  D3D_OK);
    }
    D3DXMATRIX& Matrix(const char* frame)
    {
        D3DXFRAME* f = FindFrame(root, frame);
        EXPECT_NE(f, nullptr) << frame;
        return f->TransformationMatrix;
    }

    std::unique_ptr<GfxTestDevice> t;
    TestAllocator alloc;
    D3DXFRAME* root = nullptr;
    ID3DXAnimationController* controller = nullptr;
};

// Base -> Rotor (own placement: scale 2 at (5, 0, 0)) and Base -> Still; the first set turns the rotor and
// moves it, the second would move Still.
XFileData SpinnerData()
{
    XFileData data;
    XFileFrame base;
    base.name = "Base";
    base.meshes.push_back(QuadMesh());
    XFileFrame rotor;
    rotor.name = "Rotor";
    rotor.transform = Srt(D3DXVECTOR3(2, 2, 2), D3DXQUATERNION(0, 0, 0, 1), D3DXVECTOR3(5, 0, 0));
    XFileFrame still;
    still.name = "Still";
    still.transform = TranslationMatrix(0, 7, 0);
    base.children = {rotor, still};
    data.frames.push_back(base);

    XFileAnimationSet turn;
    turn.name = "Turn";
    XFileAnimation a;
    a.frame = "Rotor";
    for (int k = 0; k <= 4; ++k)
        a.rotations.push_back({uint32_t(k * 1200), AboutY(float(k) * D3DX_PI / 2)});
    turn.animations.push_back(a);
    XFileAnimationSet other;
    other.name = "Other";
    XFileAnimation b;
    b.frame = "Still";
    b.positions = {{0, D3DXVECTOR3(100, 0, 0)}, {10, D3DXVECTOR3(200, 0, 0)}};
    other.animations.push_back(b);
    data.animationSets = {turn, other};
    return data;
}

TEST_F(D3dxAnimation, TrackZeroLoopsTheFirstSetAndKeepsUnkeyedParts)
{
    Load(SpinnerData());
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->GetNumAnimationSets(), 2u);
    EXPECT_EQ(controller->GetMaxNumAnimationOutputs(), 3u);  // one per frame
    EXPECT_EQ(controller->GetMaxNumAnimationSets(), 2u);
    EXPECT_GE(controller->GetMaxNumTracks(), 1u);
    D3DXMATRIX still = Matrix("Still");
    // 4800 ticks a second by default; the set is 4800 ticks long. Only rotation is keyed: the rotor keeps
    // its own scale and translation.
    struct Case
    {
        double advance;
        float angle;
    } cases[] = {{0.0, 0.0f},
                 {0.125, D3DX_PI / 4},
                 {0.125, D3DX_PI / 2},
                 {0.5, 3 * D3DX_PI / 2},
                 {0.5, D3DX_PI / 2},  // 1.25 s: looped
                 {-0.5, 3 * D3DX_PI / 2}};
    double time = 0.0;
    for (const Case& c : cases)
    {
        time += c.advance;
        ASSERT_EQ(controller->AdvanceTime(c.advance, nullptr), D3D_OK);
        EXPECT_DOUBLE_EQ(controller->GetTime(), time);
        ExpectNear(Matrix("Rotor"), Srt(D3DXVECTOR3(2, 2, 2), AboutY(c.angle), D3DXVECTOR3(5, 0, 0)));
    }
    // The second set is registered but does not play; frames it does not animate are left alone.
    EXPECT_EQ(Matrix("Still"), still);
    EXPECT_EQ(Matrix("Base"), IdentityMatrix());
    // A time step that is not a number changes nothing.
    EXPECT_TRUE(FAILED(controller->AdvanceTime(NAN, nullptr)));
    EXPECT_DOUBLE_EQ(controller->GetTime(), time);
}

TEST_F(D3dxAnimation, KeysInterpolateByKind)
{
    XFileData data;
    data.ticksPerSecond = 100;
    data.frames.emplace_back();
    data.frames[0].name = "A";
    data.frames.emplace_back();
    data.frames[1].name = "M";
    XFileAnimationSet set;
    XFileAnimation a;
    a.frame = "A";
    // Out of order in the file: keys are taken by time.
    a.positions = {{100, D3DXVECTOR3(10, 0, -4)}, {0, D3DXVECTOR3(0, 0, 0)}};
    a.scales = {{0, D3DXVECTOR3(1, 1, 1)}, {100, D3DXVECTOR3(3, 1, 1)}};
    a.rotations = {{0, AboutY(0)}, {100, AboutY(D3DX_PI / 2)}};
    XFileAnimation m;
    m.frame = "M";
    D3DXMATRIX end = Srt(D3DXVECTOR3(1, 2, 1), AboutY(D3DX_PI / 2), D3DXVECTOR3(0, 0, 8));
    m.matrices = {{0, IdentityMatrix()}, {200, end}};
    set.animations = {a, m};
    data.animationSets.push_back(set);
    Load(data);
    ASSERT_NE(controller, nullptr);
    controller->AdvanceTime(0.25, nullptr);
    ExpectNear(Matrix("A"), Srt(D3DXVECTOR3(1.5f, 1, 1), AboutY(D3DX_PI / 8), D3DXVECTOR3(2.5f, 0, -1)));
    // Matrix keys: split into parts, each blended (set length 200 ticks, 0.25 s = 25 ticks).
    ExpectNear(Matrix("M"), Srt(D3DXVECTOR3(1, 1.125f, 1), AboutY(D3DX_PI / 16), D3DXVECTOR3(0, 0, 1)));
    controller->AdvanceTime(1.5, nullptr);                                                            // 175 ticks
    ExpectNear(Matrix("A"), Srt(D3DXVECTOR3(3, 1, 1), AboutY(D3DX_PI / 2), D3DXVECTOR3(10, 0, -4)));  // held
    ExpectNear(Matrix("M"), Srt(D3DXVECTOR3(1, 1.875f, 1), AboutY(7 * D3DX_PI / 16), D3DXVECTOR3(0, 0, 7)));
}

TEST_F(D3dxAnimation, RotationKeysHoldTheQuaternionOfTheMatrix)
{
    // A key made with D3DXQuaternionRotationMatrix from a matrix gives that matrix back, through the text.
    D3DXMATRIX rotations[3];
    D3DXMatrixRotationYawPitchRoll(&rotations[0], 0.3f, -1.1f, 2.0f);
    D3DXMatrixRotationX(&rotations[1], 2.5f);
    D3DXVECTOR3 axis(1, 2, -3);
    D3DXMatrixRotationAxis(&rotations[2], &axis, -2.9f);
    for (const D3DXMATRIX& rotation : rotations)
    {
        XFileData data;
        data.frames.emplace_back();
        data.frames[0].name = "A";
        XFileAnimationSet set;
        XFileAnimation a;
        a.frame = "A";
        D3DXQUATERNION q;
        D3DXQuaternionRotationMatrix(&q, &rotation);
        a.rotations = {{0, q}, {10, q}};
        set.animations.push_back(a);
        data.animationSets.push_back(set);
        Load(data);
        ASSERT_NE(controller, nullptr);
        controller->AdvanceTime(0.0, nullptr);
        ExpectNear(Matrix("A"), rotation);
        controller->Release();
        controller = nullptr;
        D3DXFrameDestroy(root, &alloc);
        root = nullptr;
    }
}

TEST_F(D3dxAnimation, CloneHasItsOwnTimeAndOutputs)
{
    Load(SpinnerData());
    ASSERT_NE(controller, nullptr);
    controller->AdvanceTime(0.125, nullptr);
    D3DXMATRIX original = Matrix("Rotor");

    // A copy of the tree, as a model clone makes it.
    TestAllocator copyAlloc;
    std::string text = Written(SpinnerData());
    D3DXFRAME* copy = nullptr;
    ASSERT_EQ(D3DXLoadMeshHierarchyFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, t->device,
                                                 &copyAlloc, nullptr, &copy, nullptr),
              D3D_OK);
    ID3DXAnimationController* clone = nullptr;
    ASSERT_EQ(controller->CloneAnimationController(controller->GetMaxNumAnimationOutputs(),
                                                   controller->GetMaxNumAnimationSets(), controller->GetMaxNumTracks(),
                                                   controller->GetMaxNumEvents(), &clone),
              D3D_OK);
    EXPECT_EQ(clone->GetMaxNumAnimationOutputs(), controller->GetMaxNumAnimationOutputs());
    EXPECT_EQ(clone->GetNumAnimationSets(), 2u);
    EXPECT_DOUBLE_EQ(clone->GetTime(), 0.125);
    ASSERT_EQ(D3DXFrameRegisterNamedMatrices(copy, clone), D3D_OK);
    clone->AdvanceTime(0.125, nullptr);
    EXPECT_DOUBLE_EQ(clone->GetTime(), 0.25);
    EXPECT_DOUBLE_EQ(controller->GetTime(), 0.125);
    EXPECT_EQ(Matrix("Rotor"), original);
    ExpectNear(FindFrame(copy, "Rotor")->TransformationMatrix,
               Srt(D3DXVECTOR3(2, 2, 2), AboutY(D3DX_PI / 2), D3DXVECTOR3(5, 0, 0)));
    // And the original moves without touching the copy.
    D3DXMATRIX copied = FindFrame(copy, "Rotor")->TransformationMatrix;
    controller->AdvanceTime(0.5, nullptr);
    EXPECT_EQ(FindFrame(copy, "Rotor")->TransformationMatrix, copied);
    clone->Release();

    // A clone without tracks or sets plays nothing.
    ASSERT_EQ(controller->CloneAnimationController(3, 2, 0, 0, &clone), D3D_OK);
    D3DXFrameRegisterNamedMatrices(copy, clone);
    clone->AdvanceTime(0.1, nullptr);
    EXPECT_EQ(FindFrame(copy, "Rotor")->TransformationMatrix, copied);
    clone->Release();
    EXPECT_EQ(D3DXFrameDestroy(copy, &copyAlloc), D3D_OK);
}

TEST_F(D3dxAnimation, OutputsByName)
{
    Load(SpinnerData());
    ASSERT_NE(controller, nullptr);
    ID3DXAnimationController* clone = nullptr;
    ASSERT_EQ(controller->CloneAnimationController(1, 1, 1, 0, &clone), D3D_OK);
    // The first registration of a name holds; beyond the maximum, registration fails.
    D3DXMATRIX first = IdentityMatrix(), second = IdentityMatrix(), other = IdentityMatrix();
    D3DXQUATERNION rotation;
    EXPECT_EQ(clone->RegisterAnimationOutput("Rotor", &first, nullptr, &rotation, nullptr), D3D_OK);
    EXPECT_EQ(clone->RegisterAnimationOutput("Rotor", &second, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_TRUE(FAILED(clone->RegisterAnimationOutput("Still", &other, nullptr, nullptr, nullptr)));
    EXPECT_TRUE(FAILED(clone->RegisterAnimationOutput("", &other, nullptr, nullptr, nullptr)));
    clone->AdvanceTime(0.5, nullptr);
    ExpectNear(first, Srt(D3DXVECTOR3(1, 1, 1), AboutY(D3DX_PI), D3DXVECTOR3(0, 0, 0)));
    EXPECT_NEAR(std::fabs(rotation.y), 1.0f, 1e-6f);
    EXPECT_EQ(second, IdentityMatrix());
    clone->Release();
}

}  // namespace
