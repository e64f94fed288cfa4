// The particle and light sources: fields through the engine's records, broken sources, the shipped
// content, the wevfx commands, and lights, particle systems and portals placed by the map builder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/world/WePortal.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/map_common/MapDescription.h"
#include "Tools/map_common/MapWorld.h"
#include "Tools/map_common/MapWriter.h"
#include "Tools/vfx/VfxFields.h"

namespace fs = std::filesystem;

namespace
{

// Every field away from its default.
const char* const FullParticles = R"([System]
material=Assets.Particles.Test
radius=12.5
velocityAligned=1
localSpace=1
targetCount=7
setting=-3
[Emitter1]
duration=0.25
rate=100 20
fadeIn=0.1 0.05
sustain=0.2 0.1
fadeOut=0.3 0.15
positionSpread=1 2 3
direction=0.5 0.25 -1
directionSpread=0.1 0.2 0.3
speed=7 2
acceleration=0 -9.81 0.5
rotation=0.5 1
rotationSpeed=2 0.5
startSize=0.75 0.25
endSize=3 1
startColor=1 0.5 0.25 0.9
endColor=0.2 0.1 0.05 0.3
[Emitter2]
rate=0 0
)";

const char* const FullLight = R"([Light]
dynamic=0
kind=2
loop=0
kind2=1
range=55
fov=0.75
secondAngle=0.5
interpolate=1
projector=1
omniProjector=1
projectorMaterial=Materials.Projector
flare=1
flareRings=1
flareValues=0.2 0.3 0.4 0.6
flareTexture=Flare.Test.Corona
ring1=Flare.Test.Ring1
ring2=Flare.Test.Ring2
ring3=Flare.Test.Ring3
ring4=Flare.Test.Ring4
ring5=Flare.Test.Ring5
flareFadeTimes=0.25 0.75
flareFlags=1 0 1
setting1=1.5
setting2=2.5
setting3=3.5
[KeyFrame1]
color=1 0.5 0.25 0.125
secondColor=0.5 0.25 0.125 1
duration=0.4
intensity=2
secondIntensity=3
values=1 2 3 4 5 6
[KeyFrame2]
duration=0.6
)";

struct ToolRun
{
    int status;
    std::string output;
};

ToolRun Tool(const std::string& arguments)
{
    const std::string command = "./wevfx " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (!pipe)
        return run;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        run.output += buffer;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Describe(const std::string& bytesOf, bool particles, bool& ok)
{
    // Through the record writer and reader and back to text.
    ScratchFolder folder;
    const std::string path = folder.Path("record.bin");
    std::string error;
    WeFileStream out;
    if (!out.Create(path.c_str()))
        return "";
    WeNewParticleSystem system;
    WeLight light;
    ok = particles ? VfxFields::ParseParticleSource(bytesOf, "full", system, error)
                   : VfxFields::ParseLightSource(bytesOf, "full", light, error);
    EXPECT_TRUE(ok) << error;
    if (particles)
        system.SaveProperties(out);
    else
        light.SaveProperties(out);
    out.Close();
    WeFileStream in;
    if (!in.Open(path.c_str()))
        return "";
    WeNewParticleSystem readSystem;
    WeLight readLight;
    ok = particles ? readSystem.LoadProperties(in) : readLight.LoadProperties(in);
    return particles ? VfxFields::DescribeSystem(readSystem) : VfxFields::DescribeLight(readLight);
}

TEST(WeVfxTool, EveryFieldSurvivesTheRecord)
{
    bool ok = false;
    // The second emitter gives only its rate: the rest reads back as the defaults.
    const std::string full = FullParticles;
    const size_t second = full.find("[Emitter2]");
    const std::string particles = Describe(FullParticles, true, ok);
    EXPECT_EQ(particles.substr(0, second), full.substr(0, second));
    EXPECT_EQ(particles.substr(second, 42), "[Emitter2]\nduration=0\nrate=0 0\nfadeIn=1 0\n");
    EXPECT_TRUE(ok);
    // The light's description lists every key, so the source above is exactly what comes back.
    EXPECT_EQ(Describe(FullLight, false, ok).substr(0, 200), std::string(FullLight).substr(0, 200));
    const std::string light = Describe(FullLight, false, ok);
    EXPECT_NE(light.find("values=1 2 3 4 5 6\n"), std::string::npos);
    EXPECT_NE(light.find("[KeyFrame2]\ncolor=1 1 1 1\nsecondColor=1 1 1 1\nduration=0.6\n"), std::string::npos);
    EXPECT_NE(light.find("flareFlags=1 0 1\nsetting1=1.5\nsetting2=2.5\nsetting3=3.5\n"), std::string::npos);
}

TEST(WeVfxTool, BrokenSourcesNameTheirLine)
{
    struct Case
    {
        bool particles;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {true, "[System]\nradious=3\n", "broken:2: unknown system key radious"},
        {true, "[System]\n[Emitter1]\nrate=1O 0\n", "broken:3: rate: not a number: 1O"},
        {true, "[System]\n[Emitter1]\nrate=10\n", "broken:3: rate takes 2 numbers"},
        {true, "[System]\ntargetCount=-1\n", "broken:2: targetCount: a whole number from 0 to 16384"},
        {true, "[System]\nlocalSpace=yes\n", "broken:2: localSpace is 0 or 1"},
        {true, "[System]\n[Emitter2]\n", "broken:2: expected [Emitter1]"},
        {true, "[Emitter1]\n", "broken:1: missing [System]"},
        {true, "[System]\n[Emitter1]\n[System]\n", "broken:3: [System] comes once, first"},
        {true, "rate=1 0\n", "broken:1: a key before the first section"},
        {true, "; nothing\n", "broken:1: missing [System]"},
        {true, "[System]\n[Emitter1]\nstartColor=1 1 1 0\n", "broken:2: startColor alpha must be above 0"},
        {true, "[System]\nradius = 3\n", "broken:2: expected key=value"},
        {false, "[Light]\nkind=3\n", "broken:2: kind: a whole number from 1 to 2"},
        {false, "[Light]\n[KeyFrame1]\nvalues=1 2 3\n", "broken:3: values takes 6 numbers"},
        {false, "[Light]\n[Spot]\n", "broken:2: unknown section [Spot]"},
        {false, "[Light]\nflareFlags=1 1\n", "broken:2: flareFlags takes three 0 or 1"},
        {false, "[Light]\nrange=1e999\n", "broken:2: range: not a number: 1e999"},
    };
    for (const Case& c : cases)
    {
        std::string error;
        WeNewParticleSystem system;
        WeLight light;
        const bool ok = c.particles ? VfxFields::ParseParticleSource(c.text, "broken", system, error)
                                    : VfxFields::ParseLightSource(c.text, "broken", light, error);
        EXPECT_FALSE(ok) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

TEST(WeVfxTool, TheWriterLeavesNothingOfABrokenSource)
{
    ScratchFolder folder;
    fs::create_directories(folder.Path("Assets/Assets/Test"));
    fs::create_directories(folder.Path("Generated"));
    {
        std::ofstream(folder.Path("Assets/Assets/Test/Good.particles")) << FullParticles;
        std::ofstream(folder.Path("Assets/Assets/Test/Bad.particles")) << "[System]\nradius=x\n";
        std::ofstream(folder.Path("Assets/Assets/Test/Pulse.light")) << FullLight;
    }
    const std::string assets = "'" + folder.Path("Assets") + "' '" + folder.Path("Generated") + "'";
    ToolRun good = Tool("particles '" + folder.Path("Assets/Assets/Test/Good.particles") + "' " + assets);
    EXPECT_EQ(good.status, 0) << good.output;
    ToolRun light = Tool("light '" + folder.Path("Assets/Assets/Test/Pulse.light") + "' " + assets);
    EXPECT_EQ(light.status, 0) << light.output;
    ToolRun bad = Tool("particles '" + folder.Path("Assets/Assets/Test/Bad.particles") + "' " + assets);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("Bad.particles:2: radius: not a number: x"), std::string::npos) << bad.output;
    EXPECT_EQ(Tool("particles").status, 2);

    EXPECT_FALSE(fs::exists(folder.Path("Generated/Assets/Test/Bad.particles")));
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path("Generated")))
        EXPECT_NE(entry.path().filename().string().rfind(".wevfx", 0), 0u) << entry.path();

    WeFileSystem tree;
    tree.SetRoot(folder.Path("Generated").c_str());
    WeNewParticleSystem system;
    ASSERT_TRUE(system.LoadDefinition(&tree, "Assets.Test.Good"));
    EXPECT_EQ(VfxFields::DescribeSystem(system).substr(0, 300), std::string(FullParticles).substr(0, 300));
    ASSERT_TRUE(tree.Open("Assets.Test.Pulse", 14));
    WeLight pulse;
    EXPECT_TRUE(pulse.LoadProperties(*tree.GetStream()));
    tree.Close();
    EXPECT_EQ(pulse.m_KeyFrames.Count(), 2);
    EXPECT_FLOAT_EQ(pulse.m_TotalLength, 1.0f);
}

TEST(WeVfxTool, EveryShippedSourceIsInThePack)
{
    int sources = 0;
    WeVirtualFileSystem* pack = WeVirtualFileSystem::Instance();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(WE_CONTENT_ASSETS))
    {
        const std::string extension = entry.path().extension().string();
        if (extension != ".particles" && extension != ".light")
            continue;
        ++sources;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        WeNewParticleSystem system;
        WeLight light;
        EXPECT_TRUE(extension == ".particles" ? VfxFields::ParseParticleSource(text, entry.path(), system, error)
                                              : VfxFields::ParseLightSource(text, entry.path(), light, error))
            << error;
        const fs::path relative = fs::relative(entry.path(), WE_CONTENT_ASSETS);
        std::string name;
        for (const fs::path& part : relative.parent_path())
            name += part.string() + ".";
        name += entry.path().stem().string();
        EXPECT_TRUE(pack->Exists(name.c_str(), extension == ".particles" ? 10 : 14)) << name;
    }
    EXPECT_GE(sources, 5);
    // What the game loads by name.
    const char* const materials[] = {"MapEditor.Materials.DefaultParticleSystem", "Materials.Trails.Tuber",
                                     "Assets.Particles.Fire", "Assets.Particles.Smoke", "Assets.Particles.Sparks"};
    for (const char* name : materials)
        EXPECT_TRUE(pack->Exists(name, 2)) << name;
    const char* const textures[] = {"Flare.Flare3Quantumlaser.Corona", "Flare.Flare3Quantumlaser.Ring1",
                                    "Flare.Flare3Quantumlaser.Ring5", "Assets.Particles.SoftDot"};
    for (const char* name : textures)
        EXPECT_TRUE(pack->Exists(name, 1)) << name;

    WeNewParticleSystem sparks;
    ASSERT_TRUE(sparks.LoadDefinition(pack, "Assets.Explosions.Sparks01"));
    EXPECT_TRUE(sparks.m_VelocityAligned);
    ASSERT_EQ(sparks.m_Emitters.Count(), 2);
    EXPECT_LT(sparks.m_Emitters.Front().acceleration[1], 0.0f);
    WeNewParticleSystem trail;
    ASSERT_TRUE(trail.LoadDefinition(pack, "Assets.Tubers.Trail"));
    EXPECT_FALSE(trail.m_LocalSpace);
    EXPECT_LE(trail.m_Emitters.Front().duration, 0.0f);
}

TEST(WeVfxTool, Commands)
{
    ToolRun sparks = Tool("sim Assets.Explosions.Sparks01 --expire-at 0.5 --seconds 4");
    EXPECT_EQ(sparks.status, 0);
    EXPECT_NE(sparks.output.find("deleted at t="), std::string::npos) << sparks.output;
    EXPECT_LT(std::stof(sparks.output.substr(sparks.output.find("deleted at t=") + 13)), 1.6f);

    ToolRun trail = Tool("sim Assets.Tubers.Trail --seconds 2");
    EXPECT_EQ(trail.status, 0);
    const size_t at = trail.output.find("t=2.00 live=");
    ASSERT_NE(at, std::string::npos) << trail.output;
    EXPECT_GT(std::stoi(trail.output.substr(at + 12)), 10);
    EXPECT_NE(trail.output.find("alive live="), std::string::npos);

    ToolRun map = Tool("map TestCircuit");
    EXPECT_EQ(map.status, 0);
    EXPECT_NE(map.output.find("light #"), std::string::npos) << map.output;
    const size_t particles = map.output.find("particles #");
    ASSERT_NE(particles, std::string::npos) << map.output;
    EXPECT_GT(std::stoi(map.output.substr(map.output.find('[', particles) + 1)), 0);

    ToolRun show = Tool("show Assets.Weapons.HomingMissile");
    EXPECT_EQ(show.status, 0);
    EXPECT_NE(show.output.find("kind=2\n"), std::string::npos);
    EXPECT_NE(show.output.find("[KeyFrame2]"), std::string::npos);
    EXPECT_EQ(Tool("sim Assets.None.Such").status, 1);
    EXPECT_EQ(Tool("sim Assets.Tubers.Trail --dt 0").status, 2);
}

class WeVfxMap : public ::testing::Test
{
protected:
    bool Build(const std::string& text, std::string& error)
    {
        MapDescription map;
        if (!ParseMapDescription(text, "fx.txt", map, error))
            return false;
        map.packagesFolder = (fs::current_path().parent_path() / "content" / "Generated").string();
        std::string written;
        return WriteMap(map, "fx.txt", m_Folder.Path(), written, error);
    }
    ScratchFolder m_Folder;
};

const char* const Track = "map Fx\nsection\npoint 0 0 10\npoint 0 0 100\npoint 100 0 100\nend\n";

TEST_F(WeVfxMap, LightsParticlesAndPortalsReadBack)
{
    std::string error;
    const std::string text = std::string(Track) +
                             "light 5 6 7 label Lamp\n  kind 2\n  range 33\n  keyframe\n  color 1 0 0 1\n"
                             "  duration 0.5\n  keyframe\n  duration 0.25\nend\n"
                             "particles 1 2 3 definition Assets.Tubers.Trail\n  targetCount 4\nend\n"
                             "particles 0 1 0\n  emitter\n  rate 5 0\n  emitter\n  duration 2\nend\n"
                             "portal 0 0 50 0 20 10\n"
                             "portal 0 0 80 90 20 10 active 0 limited 1 reach 30 40 label Door\n";
    ASSERT_TRUE(Build(text, error)) << error;
    MapWorld world;
    world.SetMapsFolder(m_Folder.Path().c_str());
    ASSERT_TRUE(world.BeginLoad("Fx"));
    while (!world.m_Loaded)
        ASSERT_TRUE(world.LoadStep());
    std::vector<WeLight*> lights;
    std::vector<WeNewParticleSystem*> systems;
    std::vector<WePortal*> portals;
    for (auto* e = world.GetActors().First(); e != nullptr; e = world.GetActors().Next())
    {
        if (auto* l = dynamic_cast<WeLight*>(e->value))
            lights.push_back(l);
        if (auto* s = dynamic_cast<WeNewParticleSystem*>(e->value))
            systems.push_back(s);
        if (auto* p = dynamic_cast<WePortal*>(e->value))
            portals.push_back(p);
    }
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0]->m_Kind, 2);
    EXPECT_TRUE(lights[0]->m_Kind2);
    EXPECT_FALSE(lights[0]->m_Dynamic);
    EXPECT_FLOAT_EQ(lights[0]->m_Range, 33.0f);
    EXPECT_STREQ(lights[0]->m_Label.c_str(), "Lamp");
    ASSERT_EQ(lights[0]->m_KeyFrames.Count(), 2);
    EXPECT_FLOAT_EQ(lights[0]->m_KeyFrames.Front().color[1], 0.0f);
    EXPECT_FLOAT_EQ(lights[0]->m_TotalLength, 0.75f);
    EXPECT_FLOAT_EQ(lights[0]->GetWorldPosition().z, 7.0f);

    ASSERT_EQ(systems.size(), 2u);
    WeNewParticleSystem* shipped = systems[0]->m_TargetCount == 4 ? systems[0] : systems[1];
    WeNewParticleSystem* inline_ = shipped == systems[0] ? systems[1] : systems[0];
    EXPECT_EQ(shipped->m_TargetCount, 4);
    EXPECT_STREQ(shipped->m_MaterialName.c_str(), "Assets.Particles.Exhaust");  // copied from the definition
    EXPECT_TRUE(shipped->m_LoadedFromMap);
    ASSERT_EQ(inline_->m_Emitters.Count(), 2);
    EXPECT_FLOAT_EQ(inline_->m_Emitters.Front().rate[0], 5.0f);
    EXPECT_FLOAT_EQ(inline_->m_Emitters.Back().duration, 2.0f);

    ASSERT_EQ(portals.size(), 2u);
    WePortal* door = portals[0]->m_Label == WeString("Door") ? portals[0] : portals[1];
    WePortal* open = door == portals[0] ? portals[1] : portals[0];
    EXPECT_TRUE(open->m_Active);
    EXPECT_FALSE(door->m_Active);
    EXPECT_TRUE(door->m_LimitedReach);
    EXPECT_FLOAT_EQ(door->m_FrontReach, 30.0f);
    EXPECT_FLOAT_EQ(door->m_BackReach, 40.0f);
    EXPECT_FLOAT_EQ(door->m_Width, 20.0f);
    EXPECT_NEAR(door->GetWorldMatrix()._31, 1.0f, 1e-5f);  // turned a quarter: facing +x

    // From the start the open portal is seen and hides what lies beyond it.
    world.UpdatePortalVisibility(D3DXVECTOR3(0.0f, 1.0f, 10.0f));
    EXPECT_TRUE(open->m_Visible);
    EXPECT_FALSE(door->m_Visible);
    WeBoundingSphere far;
    far.center = D3DXVECTOR3(0.0f, 0.0f, 90.0f);
    far.radius = 1.0f;
    EXPECT_FALSE(world.IsVisibleThroughPortals(far, D3DXVECTOR3(0.0f, 1.0f, 10.0f)));
}

TEST_F(WeVfxMap, BrokenBlocksNameTheirLine)
{
    struct Case
    {
        const char* block;
        const char* message;
    };
    const Case cases[] = {
        {"light 0 0 0\n  rnage 3\nend\n", "fx.txt:8: unknown light key rnage"},
        {"light 0 0 0\n  color 1 1 1 1\nend\n", "fx.txt:8: color belongs to a keyframe: start one first"},
        {"particles 0 0 0\n  emitter\n  rate x 0\nend\n", "fx.txt:9: rate: not a number: x"},
        {"particles 0 0 0 definition Assets.None.Such\nend\n", "fx.txt:7: no particle system Assets.None.Such"},
        {"particles 0 0 0\n  emitter\n  startColor 1 1 1 0\nend\n", "fx.txt:7: startColor alpha must be above 0"},
        {"light 0 0 0\n", "fx.txt:7: missing end of a light block"},
        {"portal 0 0 0 0 0 5\n", "fx.txt:7: a portal needs a width and a height"},
        {"portal 0 0 0 0 5 5 active\n", "fx.txt:7: missing value after active"},
        {"portal 0 0 0 0 5 5 reach 3\n", "fx.txt:7: missing value after reach"},
    };
    for (const Case& c : cases)
    {
        std::string error;
        EXPECT_FALSE(Build(std::string(Track) + c.block, error)) << c.block;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    }
}

}  // namespace
