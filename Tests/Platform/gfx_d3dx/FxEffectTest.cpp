#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "Platform/gfx_d3dx/FxEffect.h"
#include "Platform/gfx_d3dx/FxHost.h"
#include "Platform/gfx_d3dx/FxParser.h"
#include "Platform/gfx_d3dx/FxPool.h"

namespace
{

std::string ReadFixture(const char* name)
{
    std::ifstream in(std::string(WE_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const char* Pass = "VertexProgram = \"\"\"void main(){}\"\"\"; FragmentProgram = \"\"\"void main(){}\"\"\";";

std::string WithPass(const std::string& head)
{
    return head + " technique T { pass P { " + Pass + " } }";
}

TEST(FxParser, GoodAndBrokenTexts)
{
    struct Case
    {
        std::string text;
        bool ok;
        const char* errorPart;
    } cases[] = {
        {WithPass(""), true, ""},
        {WithPass("float a = 1; float4 b = {1,2,3,4}; float4x4 m; float3x2 n; int i = -3; bool b2 = true;"), true, ""},
        {WithPass("string s = \"x\"; texture t; float f[3] = {1, 2, 3};"), true, ""},
        {WithPass("shared float4 c : COLOR <string A = \"b\"; float n = 2;> = {0,0,0,1};"), true, ""},
        {"technique T { pass P { ZEnable = true; SrcBlend = SrcAlpha; FogStart = 0.5; ColorWriteEnable = 0xF; " +
             std::string(Pass) + " } }",
         true, ""},
        {"", true, ""},
        {WithPass("float a = 1"), false, "line 1: ';' expected"},
        {WithPass("float5 a;"), false, "unknown type float5"},
        {WithPass("float4 a = {1,2,3};"), false, "too few values"},
        {WithPass("float a = {1,2};"), false, "too many values"},
        {WithPass("float a; float a;"), false, "declared twice"},
        {WithPass("float a[0];"), false, "array size"},
        {WithPass("texture t = 1;"), false, "texture parameter takes no value"},
        {"string s = \"open;\nfloat a;", false, "closing quote"},
        {WithPass("float a = x1;"), false, "number expected"},
        {"technique T { }", false, "has no pass"},
        {"technique T { pass P { VertexProgram = \"\"\"x\"\"\"; } }", false, "needs a VertexProgram"},
        {"technique T { pass P { Bogus = 1; " + std::string(Pass) + " } }", false, "unknown pass state Bogus"},
        {"technique T { pass P { SrcBlend = Sideways; " + std::string(Pass) + " } }", false, "unknown value"},
        {"technique T { pass P { Texture[0] = Nope; " + std::string(Pass) + " } }", false, "not a texture"},
        {"technique T { pass P { MinFilter = Linear; " + std::string(Pass) + " } }", false, "needs a unit"},
        {"technique T { pass P { VertexProgram = \"\"\"never closed", false, "closing \"\"\""},
        {"technique T { pass P { VertexProgram = Missing; } }", false, "unknown code block"},
        {"float a;\n\n@", false, "line 3: unexpected character"},
        {WithPass("sampler DiffuseMap : register(s0); sampler GlowMap : register(s15);"), true, ""},
        {WithPass("sampler S : register(s16);"), false, "s0..s15"},
        {WithPass("sampler S : register(t1);"), false, "s0..s15"},
        {WithPass("sampler S : register(s1)"), false, "';' expected"},
        {WithPass("sampler S : slot(s1);"), false, "register expected"},
        {WithPass("sampler S : register(s1); sampler S : register(s2);"), false, "declared twice"},
    };
    for (const Case& c : cases)
    {
        FxEffectData data;
        std::string error;
        bool ok = FxParser::Parse(c.text, &data, &error);
        EXPECT_EQ(ok, c.ok) << c.text << " -> " << error;
        if (!c.ok)
        {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.text << " -> " << error;
        }
    }
}

TEST(FxParser, PassStatesAndProgramsOfTheExample)
{
    FxEffectData data;
    std::string error;
    ASSERT_TRUE(FxParser::Parse(ReadFixture("Effects/SharedColor.fx"), &data, &error)) << error;
    ASSERT_EQ(data.techniques.size(), 2u);
    const FxPass& p = *data.techniques[1]->passes[0];
    ASSERT_EQ(p.samplers.size(), 1u);
    EXPECT_EQ(p.samplers[0].unit, 0u);
    EXPECT_EQ(p.samplers[0].texture, "DiffuseMap");
    ASSERT_EQ(p.samplers[0].states.size(), 2u);
    EXPECT_EQ(p.samplers[0].states[0], (std::pair<uint32_t, uint32_t>(6, 2)));  // min filter linear
    EXPECT_EQ(p.samplers[0].states[1], (std::pair<uint32_t, uint32_t>(1, 3)));  // address u clamp
    std::vector<std::pair<uint32_t, uint32_t>> states = {{19, 5}, {20, 6}, {27, 1}};
    EXPECT_EQ(p.renderStates, states);
    EXPECT_NE(p.vertexSource->find("WE_ATTR_POSITION"), std::string::npos);
    // Both passes name one code block: one text.
    EXPECT_EQ(p.vertexSource, data.techniques[0]->passes[0]->vertexSource);
    EXPECT_EQ(p.defines, "TEXTURED SCALE=2.0");
}

TEST(FxEffect, LookupsValuesAndAnnotations)
{
    FxPool pool;
    FxEffect fx;
    std::string error;
    ASSERT_TRUE(fx.Create(ReadFixture("Effects/SharedColor.fx"), &pool, nullptr, "SharedColor", &error)) << error;
    EXPECT_EQ(fx.ParameterCount(), 7u);
    EXPECT_EQ(fx.GetParameterByName(nullptr, "Missing"), nullptr);
    FxHandle glow = fx.GetParameterByName(nullptr, "GlowAmount");
    ASSERT_NE(glow, nullptr);
    float f = 0;
    EXPECT_TRUE(fx.GetFloat(glow, &f));
    EXPECT_FLOAT_EQ(f, 0.5f);
    // A name works where a handle is asked.
    EXPECT_TRUE(fx.SetFloat("GlowAmount", 2.0f));
    EXPECT_TRUE(fx.GetFloat(glow, &f));
    EXPECT_FLOAT_EQ(f, 2.0f);
    int32_t n = 0;
    EXPECT_TRUE(fx.GetInt(fx.GetParameterByName(nullptr, "WantPerPixelLightsCount"), &n));
    EXPECT_EQ(n, 4);
    EXPECT_EQ(fx.GetParameterBySemantic(nullptr, "tintcolor"), fx.GetParameterByName(nullptr, "TintColor"));
    // No semantic is not a semantic that parameters without one share.
    EXPECT_EQ(fx.GetParameterBySemantic(nullptr, ""), nullptr);

    // The annotation the engine reads, on every parameter in turn.
    int found = 0;
    for (uint32_t i = 0; i < fx.ParameterCount(); ++i)
    {
        FxHandle a = fx.GetAnnotationByName(fx.GetParameter(nullptr, i), "ConvertPixelsToTexels");
        if (!a)
            continue;
        const char* target = nullptr;
        ASSERT_TRUE(fx.GetString(a, &target));
        EXPECT_STREQ(target, "FilterTaps");
        EXPECT_EQ(fx.Parameter(fx.GetParameterByName(nullptr, target))->Bytes(), 64u);
        ++found;
    }
    EXPECT_EQ(found, 1);
    const char* purpose = nullptr;
    EXPECT_TRUE(fx.GetString(fx.GetAnnotationByName(fx.GetTechniqueByName("Default"), "Purpose"), &purpose));
    EXPECT_STREQ(purpose, "flat colour");

    // Reads beyond a parameter give zeros; writes beyond it are dropped.
    float taps[32];
    for (float& t : taps)
        t = 99.0f;
    FxHandle h = fx.GetParameterByName(nullptr, "FilterTaps");
    EXPECT_TRUE(fx.GetValue(h, taps, sizeof(taps)));
    EXPECT_FLOAT_EQ(taps[0], 1.0f);
    EXPECT_FLOAT_EQ(taps[4], -1.0f);
    EXPECT_FLOAT_EQ(taps[16], 0.0f);
    EXPECT_FLOAT_EQ(taps[31], 0.0f);
    EXPECT_TRUE(fx.SetValue(h, taps, sizeof(taps)));

    float m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = float(i);
    EXPECT_TRUE(fx.SetMatrix("WorldMatrix", m));
    float back[16] = {};
    EXPECT_TRUE(fx.GetMatrix("WorldMatrix", back));
    EXPECT_FLOAT_EQ(back[7], 7.0f);
    // Wrong kinds are refused.
    EXPECT_FALSE(fx.SetTexture(glow, nullptr));
    EXPECT_FALSE(fx.SetString(glow, "x"));
    EXPECT_FALSE(fx.SetFloat(fx.GetTechniqueByName("Default"), 1.0f));
    int tex = 0;
    EXPECT_TRUE(fx.SetTexture("DiffuseMap", &tex));
    void* got = nullptr;
    EXPECT_TRUE(fx.GetTexture("DiffuseMap", &got));
    EXPECT_EQ(got, &tex);
}

TEST(FxEffect, FloatsBecomeWholeNumbersWithoutOverflow)
{
    // Converting NaN or a float past int's range is undefined: they become 0 and the range's ends.
    FxEffect fx;
    std::string error;
    ASSERT_TRUE(fx.Create(WithPass("int i = 1; float f = 1;"), nullptr, nullptr, "Whole", &error)) << error;
    const FxHandle i = fx.GetParameterByName(nullptr, "i"), f = fx.GetParameterByName(nullptr, "f");
    const struct
    {
        float value;
        int32_t whole;
    } cases[] = {{std::nanf(""), 0}, {7.9e29f, INT32_MAX}, {-7.9e29f, INT32_MIN}, {-2.75f, -2}, {1e9f, 1000000000}};
    for (const auto& c : cases)
    {
        int32_t got = 12345;
        ASSERT_TRUE(fx.SetFloat(i, c.value));
        ASSERT_TRUE(fx.GetInt(i, &got));
        EXPECT_EQ(got, c.whole) << c.value;
        got = 12345;
        ASSERT_TRUE(fx.SetFloat(f, c.value));
        ASSERT_TRUE(fx.GetInt(f, &got));
        EXPECT_EQ(got, c.whole) << c.value;
    }
}

TEST(FxEffect, PoolBroadcastsSharedParameters)
{
    FxPool pool;
    FxEffect a, b;
    std::string error;
    std::string text = ReadFixture("Effects/SharedColor.fx");
    ASSERT_TRUE(a.Create(text, &pool, nullptr, "A", &error)) << error;
    ASSERT_TRUE(b.Create(WithPass("shared float4 TintColor; float GlowAmount = 7;"), &pool, nullptr, "B", &error))
        << error;
    float v[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    EXPECT_TRUE(a.SetVector("TintColor", v));
    float got[4] = {};
    EXPECT_TRUE(b.GetVector("TintColor", got));
    EXPECT_FLOAT_EQ(got[2], 0.75f);
    // Unshared parameters of the same name stay apart.
    a.SetFloat("GlowAmount", 1.0f);
    float g = 0;
    b.GetFloat("GlowAmount", &g);
    EXPECT_FLOAT_EQ(g, 7.0f);
    // The pool kept the first effect's default; a later effect of another shape is refused.
    FxEffect c;
    // It leaves nothing in the pool, not even a new shared name declared before the one that disagrees.
    EXPECT_FALSE(c.Create(WithPass("shared float NewName; shared float3 TintColor;"), &pool, nullptr, "C", &error));
    EXPECT_NE(error.find("TintColor"), std::string::npos);
    EXPECT_EQ(pool.Count(), 2u);
    EXPECT_EQ(pool.Find("NewName"), nullptr);
}

TEST(FxParser, VariantTechniquesForEverySubsetOfTheLetters)
{
    FxEffectData data;
    std::string error;
    std::string text = "technique Default variants \"DLV\" <string A = \"x\";> { pass P { Defines = \"BASE\"; " +
                       std::string(Pass) + " } }";
    ASSERT_TRUE(FxParser::Parse(text, &data, &error)) << error;
    ASSERT_EQ(data.techniques.size(), 8u);
    std::vector<std::string> names;
    for (auto& t : data.techniques)
        names.push_back(t->name);
    for (const char* n :
         {"Default", "DefaultD", "DefaultL", "DefaultV", "DefaultDL", "DefaultDV", "DefaultLV", "DefaultDLV"})
        EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;
    for (auto& t : data.techniques)
    {
        EXPECT_EQ(t->annotations.size(), 1u);
        if (t->name == "DefaultDV")
        {
            EXPECT_EQ(t->passes[0]->defines, "BASE WE_VARIANT_D WE_VARIANT_V");
        }
    }
    // Letters out of the engine's order, or a clash with a plain technique, are refused.
    EXPECT_FALSE(
        FxParser::Parse("technique Default variants \"LD\" { pass P { " + std::string(Pass) + " } }", &data, &error));
    FxEffectData clash;
    EXPECT_FALSE(FxParser::Parse("technique DefaultL { pass P { " + std::string(Pass) +
                                     " } } technique Default variants \"L\" { pass P { " + Pass + " } }",
                                 &clash, &error));
    EXPECT_NE(error.find("DefaultL declared twice"), std::string::npos);
}

class CountingHost : public FxHost
{
public:
    uint32_t BuildProgram(const std::string& vs, const std::string& fs, std::string* log) override
    {
        ++builds;
        lastVertex = vs;
        if (fs.find("broken") != std::string::npos)
        {
            *log = "0:1: error: broken";
            return 0;
        }
        return 100 + builds;
    }
    void DestroyProgram(uint32_t) override { ++destroys; }
    void ApplyPass(const FxEffect&, const FxPass& pass) override { applied = pass.program; }
    void Commit(const FxEffect&, const FxPass&) override { ++commits; }
    void EndPass() override { applied = 0; }
    int builds = 0, destroys = 0, commits = 0;
    uint32_t applied = 0;
    std::string lastVertex;
};

TEST(FxEffect, AllTwoThousandVariantNamesResolveAndOnlyTheUsedOneBuilds)
{
    CountingHost host;
    FxEffect fx;
    std::string error;
    std::string text = "technique Default variants \"3FHDSBELVGW\" { pass P { " + std::string(Pass) + " } }";
    ASSERT_TRUE(fx.Create(text, nullptr, &host, "Variants", &error)) << error;
    EXPECT_EQ(fx.TechniqueCount(), 2048u);
    const char* letters = "3FHDSBELVGW";
    for (int index = 0; index < 2048; ++index)
    {
        std::string name = "Default";
        for (int bit = 10; bit >= 0; --bit)
            if (index & (1 << bit))
                name += letters[10 - bit];
        ASSERT_NE(fx.GetTechniqueByName(name.c_str()), nullptr) << name;
    }
    ASSERT_TRUE(fx.SetTechnique("Default3FD"));
    EXPECT_EQ(host.builds, 1);
    EXPECT_NE(host.lastVertex.find("#define WE_VARIANT_3\n#define WE_VARIANT_F\n#define WE_VARIANT_D\n"),
              std::string::npos);
}

std::string g_reported;

TEST(FxEffect, ProgramsBuildOnFirstUseAndFailuresAreReported)
{
    CountingHost host;
    FxPool pool;
    FxEffect fx;
    std::string error;
    std::string text =
        ReadFixture("Effects/SharedColor.fx") +
        "technique Broken { pass P { VertexProgram = \"\"\"x\"\"\"; FragmentProgram = \"\"\"broken\"\"\"; } }";
    ASSERT_TRUE(fx.Create(text, &pool, &host, "Fx.Test", &error)) << error;
    EXPECT_EQ(host.builds, 0);
    ASSERT_TRUE(fx.SetTechnique(fx.GetTechniqueByName("Textured")));
    EXPECT_EQ(host.builds, 1);
    EXPECT_NE(host.lastVertex.find("#define SCALE 2.0\n"), std::string::npos);
    uint32_t passes = 0;
    ASSERT_TRUE(fx.Begin(&passes));
    EXPECT_EQ(passes, 1u);
    EXPECT_FALSE(fx.BeginPass(1));
    ASSERT_TRUE(fx.BeginPass(0));
    EXPECT_EQ(host.applied, 101u);
    EXPECT_TRUE(fx.CommitChanges());
    EXPECT_EQ(host.commits, 1);
    EXPECT_TRUE(fx.EndPass());
    EXPECT_TRUE(fx.End());
    EXPECT_EQ(host.applied, 0u);
    fx.SetTechnique(fx.GetTechniqueByName("Textured"));
    EXPECT_EQ(host.builds, 1);

    FxEffect::SetReporter([](const char* t) { g_reported = t; });
    EXPECT_TRUE(fx.SetTechnique("Broken"));
    EXPECT_NE(g_reported.find("Fx.Test"), std::string::npos);
    EXPECT_NE(g_reported.find("0:1: error: broken"), std::string::npos);
    EXPECT_FALSE(fx.ValidateTechnique("Broken"));
    ASSERT_TRUE(fx.Begin(&passes));
    EXPECT_FALSE(fx.BeginPass(0));
    fx.End();
    FxEffect::SetReporter(nullptr);

    fx.OnLostDevice();
    EXPECT_EQ(host.destroys, 1);
}

}  // namespace
