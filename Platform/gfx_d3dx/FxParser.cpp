#include "Platform/gfx_d3dx/FxParser.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <map>
#include <set>

namespace
{

enum class Tok
{
    End,
    Ident,
    Number,
    String,
    Code,
    Punct,
    Bad
};

struct Token
{
    Tok kind = Tok::End;
    std::string text;
    int line = 1;
};

class Lexer
{
public:
    explicit Lexer(std::string_view s) : m_Text(s) {}

    Token Next()
    {
        SkipBlank();
        Token t;
        t.line = m_Line;
        if (m_Pos >= m_Text.size())
            return t;
        char c = m_Text[m_Pos];
        if (IsIdentStart(c))
        {
            size_t b = m_Pos;
            while (m_Pos < m_Text.size() &&
                   (IsIdentStart(m_Text[m_Pos]) || (m_Text[m_Pos] >= '0' && m_Text[m_Pos] <= '9')))
                ++m_Pos;
            t.kind = Tok::Ident;
            t.text = m_Text.substr(b, m_Pos - b);
            return t;
        }
        if ((c >= '0' && c <= '9') ||
            ((c == '-' || c == '.') && m_Pos + 1 < m_Text.size() &&
             ((m_Text[m_Pos + 1] >= '0' && m_Text[m_Pos + 1] <= '9') || m_Text[m_Pos + 1] == '.')))
        {
            size_t b = m_Pos++;
            while (m_Pos < m_Text.size() && (std::isalnum((unsigned char)m_Text[m_Pos]) || m_Text[m_Pos] == '.' ||
                                             ((m_Text[m_Pos] == '-' || m_Text[m_Pos] == '+') &&
                                              (m_Text[m_Pos - 1] == 'e' || m_Text[m_Pos - 1] == 'E'))))
                ++m_Pos;
            t.kind = Tok::Number;
            t.text = m_Text.substr(b, m_Pos - b);
            return t;
        }
        if (m_Text.substr(m_Pos, 3) == "\"\"\"")
        {
            size_t b = m_Pos + 3;
            size_t e = m_Text.find("\"\"\"", b);
            if (e == std::string_view::npos)
            {
                t.kind = Tok::Bad;
                t.text = "program text without its closing \"\"\"";
                m_Pos = m_Text.size();
                return t;
            }
            t.kind = Tok::Code;
            t.text = m_Text.substr(b, e - b);
            for (char ch : t.text)
                if (ch == '\n')
                    ++m_Line;
            m_Pos = e + 3;
            return t;
        }
        if (c == '"')
        {
            ++m_Pos;
            t.kind = Tok::String;
            while (m_Pos < m_Text.size() && m_Text[m_Pos] != '"' && m_Text[m_Pos] != '\n')
            {
                if (m_Text[m_Pos] == '\\' && m_Pos + 1 < m_Text.size())
                    ++m_Pos;
                t.text += m_Text[m_Pos++];
            }
            if (m_Pos >= m_Text.size() || m_Text[m_Pos] != '"')
            {
                t.kind = Tok::Bad;
                t.text = "string without its closing quote";
                return t;
            }
            ++m_Pos;
            return t;
        }
        if (std::strchr("{}[]<>=;:,()", c))
        {
            ++m_Pos;
            t.kind = Tok::Punct;
            t.text = std::string(1, c);
            return t;
        }
        t.kind = Tok::Bad;
        t.text = std::string("unexpected character '") + c + "'";
        ++m_Pos;
        return t;
    }

private:
    static bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

    void SkipBlank()
    {
        while (m_Pos < m_Text.size())
        {
            char c = m_Text[m_Pos];
            if (c == '\n')
            {
                ++m_Line;
                ++m_Pos;
            }
            else if (c == ' ' || c == '\t' || c == '\r')
            {
                ++m_Pos;
            }
            else if (m_Text.substr(m_Pos, 2) == "//")
            {
                while (m_Pos < m_Text.size() && m_Text[m_Pos] != '\n')
                    ++m_Pos;
            }
            else if (m_Text.substr(m_Pos, 2) == "/*")
            {
                size_t e = m_Text.find("*/", m_Pos + 2);
                size_t stop = e == std::string_view::npos ? m_Text.size() : e + 2;
                for (size_t i = m_Pos; i < stop; ++i)
                    if (m_Text[i] == '\n')
                        ++m_Line;
                m_Pos = stop;
            }
            else
            {
                break;
            }
        }
    }

    std::string_view m_Text;
    size_t m_Pos = 0;
    int m_Line = 1;
};

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

// How a state's symbolic values read.
enum class Kind
{
    Number,
    Blend,
    Cmp,
    Cull,
    Fill,
    BlendOp,
    Filter,
    Address,
    StencilOp,
    Fog
};

struct StateName
{
    const char* name;
    uint32_t id;
    Kind kind;
};

const StateName RenderStates[] = {
    {"ZENABLE", 7, Kind::Number},
    {"FILLMODE", 8, Kind::Fill},
    {"SHADEMODE", 9, Kind::Number},
    {"ZWRITEENABLE", 14, Kind::Number},
    {"ALPHATESTENABLE", 15, Kind::Number},
    {"LASTPIXEL", 16, Kind::Number},
    {"SRCBLEND", 19, Kind::Blend},
    {"DESTBLEND", 20, Kind::Blend},
    {"CULLMODE", 22, Kind::Cull},
    {"ZFUNC", 23, Kind::Cmp},
    {"ALPHAREF", 24, Kind::Number},
    {"ALPHAFUNC", 25, Kind::Cmp},
    {"DITHERENABLE", 26, Kind::Number},
    {"ALPHABLENDENABLE", 27, Kind::Number},
    {"FOGENABLE", 28, Kind::Number},
    {"SPECULARENABLE", 29, Kind::Number},
    {"FOGCOLOR", 34, Kind::Number},
    {"FOGTABLEMODE", 35, Kind::Fog},
    {"FOGSTART", 36, Kind::Number},
    {"FOGEND", 37, Kind::Number},
    {"FOGDENSITY", 38, Kind::Number},
    {"RANGEFOGENABLE", 48, Kind::Number},
    {"STENCILENABLE", 52, Kind::Number},
    {"STENCILFAIL", 53, Kind::StencilOp},
    {"STENCILZFAIL", 54, Kind::StencilOp},
    {"STENCILPASS", 55, Kind::StencilOp},
    {"STENCILFUNC", 56, Kind::Cmp},
    {"STENCILREF", 57, Kind::Number},
    {"STENCILMASK", 58, Kind::Number},
    {"STENCILWRITEMASK", 59, Kind::Number},
    {"TEXTUREFACTOR", 60, Kind::Number},
    {"WRAP0", 128, Kind::Number},
    {"CLIPPING", 136, Kind::Number},
    {"LIGHTING", 137, Kind::Number},
    {"AMBIENT", 139, Kind::Number},
    {"FOGVERTEXMODE", 140, Kind::Fog},
    {"COLORVERTEX", 141, Kind::Number},
    {"NORMALIZENORMALS", 143, Kind::Number},
    {"POINTSIZE", 154, Kind::Number},
    {"POINTSIZE_MIN", 155, Kind::Number},
    {"POINTSPRITEENABLE", 156, Kind::Number},
    {"POINTSCALEENABLE", 157, Kind::Number},
    {"MULTISAMPLEANTIALIAS", 161, Kind::Number},
    {"POINTSIZE_MAX", 166, Kind::Number},
    {"COLORWRITEENABLE", 168, Kind::Number},
    {"BLENDOP", 171, Kind::BlendOp},
    {"SCISSORTESTENABLE", 174, Kind::Number},
    {"SLOPESCALEDEPTHBIAS", 175, Kind::Number},
    {"TWOSIDEDSTENCILMODE", 185, Kind::Number},
    {"BLENDFACTOR", 193, Kind::Number},
    {"SRGBWRITEENABLE", 194, Kind::Number},
    {"DEPTHBIAS", 195, Kind::Number},
    {"SEPARATEALPHABLENDENABLE", 206, Kind::Number},
    {"SRCBLENDALPHA", 207, Kind::Blend},
    {"DESTBLENDALPHA", 208, Kind::Blend},
    {"BLENDOPALPHA", 209, Kind::BlendOp},
};

const StateName SamplerStates[] = {
    {"ADDRESSU", 1, Kind::Address},      {"ADDRESSV", 2, Kind::Address},     {"ADDRESSW", 3, Kind::Address},
    {"BORDERCOLOR", 4, Kind::Number},    {"MAGFILTER", 5, Kind::Filter},     {"MINFILTER", 6, Kind::Filter},
    {"MIPFILTER", 7, Kind::Filter},      {"MIPMAPLODBIAS", 8, Kind::Number}, {"MAXMIPLEVEL", 9, Kind::Number},
    {"MAXANISOTROPY", 10, Kind::Number}, {"SRGBTEXTURE", 11, Kind::Number},
};

bool SymbolValue(Kind kind, const std::string& upper, uint32_t* out)
{
    static const std::map<std::string, uint32_t> blend = {
        {"ZERO", 1},         {"ONE", 2},          {"SRCCOLOR", 3},       {"INVSRCCOLOR", 4}, {"SRCALPHA", 5},
        {"INVSRCALPHA", 6},  {"DESTALPHA", 7},    {"INVDESTALPHA", 8},   {"DESTCOLOR", 9},   {"INVDESTCOLOR", 10},
        {"SRCALPHASAT", 11}, {"BLENDFACTOR", 14}, {"INVBLENDFACTOR", 15}};
    static const std::map<std::string, uint32_t> cmp = {{"NEVER", 1},        {"LESS", 2},    {"EQUAL", 3},
                                                        {"LESSEQUAL", 4},    {"GREATER", 5}, {"NOTEQUAL", 6},
                                                        {"GREATEREQUAL", 7}, {"ALWAYS", 8}};
    static const std::map<std::string, uint32_t> cull = {{"NONE", 1}, {"CW", 2}, {"CCW", 3}};
    static const std::map<std::string, uint32_t> fill = {{"POINT", 1}, {"WIREFRAME", 2}, {"SOLID", 3}};
    static const std::map<std::string, uint32_t> blendOp = {
        {"ADD", 1}, {"SUBTRACT", 2}, {"REVSUBTRACT", 3}, {"MIN", 4}, {"MAX", 5}};
    static const std::map<std::string, uint32_t> filter = {
        {"NONE", 0}, {"POINT", 1}, {"LINEAR", 2}, {"ANISOTROPIC", 3}};
    static const std::map<std::string, uint32_t> address = {
        {"WRAP", 1}, {"MIRROR", 2}, {"CLAMP", 3}, {"BORDER", 4}, {"MIRRORONCE", 5}};
    static const std::map<std::string, uint32_t> stencilOp = {{"KEEP", 1},    {"ZERO", 2},    {"REPLACE", 3},
                                                              {"INCRSAT", 4}, {"DECRSAT", 5}, {"INVERT", 6},
                                                              {"INCR", 7},    {"DECR", 8}};
    static const std::map<std::string, uint32_t> fog = {{"NONE", 0}, {"EXP", 1}, {"EXP2", 2}, {"LINEAR", 3}};
    if (upper == "TRUE")
        return *out = 1, true;
    if (upper == "FALSE")
        return *out = 0, true;
    const std::map<std::string, uint32_t>* table = nullptr;
    switch (kind)
    {
    case Kind::Blend: table = &blend; break;
    case Kind::Cmp: table = &cmp; break;
    case Kind::Cull: table = &cull; break;
    case Kind::Fill: table = &fill; break;
    case Kind::BlendOp: table = &blendOp; break;
    case Kind::Filter: table = &filter; break;
    case Kind::Address: table = &address; break;
    case Kind::StencilOp: table = &stencilOp; break;
    case Kind::Fog: table = &fog; break;
    case Kind::Number: break;
    }
    if (!table)
        return false;
    auto it = table->find(upper);
    if (it == table->end())
        return false;
    *out = it->second;
    return true;
}

const StateName* FindState(const StateName* begin, const StateName* end, const std::string& upper)
{
    for (const StateName* s = begin; s != end; ++s)
        if (upper == s->name)
            return s;
    return nullptr;
}

class Parser
{
public:
    Parser(std::string_view text, FxEffectData* out) : m_Lex(text), m_Out(out) { Advance(); }

    bool Run(std::string* error)
    {
        bool ok = File();
        if (!ok && error)
            *error = "line " + std::to_string(m_ErrLine) + ": " + m_Err;
        return ok;
    }

private:
    void Advance() { m_Tok = m_Lex.Next(); }

    bool Fail(const std::string& what)
    {
        if (m_Err.empty())
        {
            m_Err = m_Tok.kind == Tok::Bad ? m_Tok.text : what;
            m_ErrLine = m_Tok.line;
        }
        return false;
    }

    bool IsPunct(char c) const { return m_Tok.kind == Tok::Punct && m_Tok.text[0] == c; }
    bool IsWord(const char* w) const { return m_Tok.kind == Tok::Ident && m_Tok.text == w; }

    bool Expect(char c)
    {
        if (!IsPunct(c))
            return Fail(std::string("'") + c + "' expected");
        Advance();
        return true;
    }

    bool Ident(std::string* out, const char* what)
    {
        if (m_Tok.kind != Tok::Ident)
            return Fail(std::string(what) + " expected");
        *out = m_Tok.text;
        Advance();
        return true;
    }

    bool Unsigned(uint32_t* out)
    {
        if (m_Tok.kind != Tok::Number)
            return Fail("number expected");
        auto r = std::from_chars(m_Tok.text.data(), m_Tok.text.data() + m_Tok.text.size(), *out);
        if (r.ec != std::errc() || r.ptr != m_Tok.text.data() + m_Tok.text.size())
            return Fail("whole number expected");
        Advance();
        return true;
    }

    bool File()
    {
        while (m_Tok.kind != Tok::End)
        {
            if (IsWord("technique"))
            {
                if (!Technique())
                    return false;
            }
            else if (IsWord("code"))
            {
                if (!CodeBlock())
                    return false;
            }
            else if (IsWord("sampler"))
            {
                if (!StageSampler())
                    return false;
            }
            else if (IsWord("effect"))
            {
                Advance();
                if (m_Tok.kind != Tok::String)
                    return Fail("effect name expected");
                m_Out->name = m_Tok.text;
                Advance();
                if (!Expect(';'))
                    return false;
            }
            else
            {
                auto p = std::make_unique<FxParameter>();
                if (!Parameter(p.get(), true))
                    return false;
                for (auto& q : m_Out->parameters)
                    if (q->name == p->name)
                        return Fail("parameter " + p->name + " declared twice");
                m_Out->parameters.push_back(std::move(p));
            }
        }
        return true;
    }

    // sampler <Name> : register(s<unit>);
    bool StageSampler()
    {
        Advance();
        FxStageSampler sampler;
        if (!Ident(&sampler.name, "sampler name") || !Expect(':'))
            return false;
        if (!IsWord("register"))
            return Fail("register expected");
        Advance();
        if (!Expect('('))
            return false;
        const std::string& r = m_Tok.text;
        if (m_Tok.kind != Tok::Ident || r.size() < 2 || r.size() > 3 || r[0] != 's' ||
            r.find_first_not_of("0123456789", 1) != std::string::npos)
            return Fail("sampler register s0..s15 expected");
        sampler.unit = 0;
        for (size_t i = 1; i < r.size(); ++i)
            sampler.unit = sampler.unit * 10 + uint32_t(r[i] - '0');
        if (sampler.unit > 15)
            return Fail("sampler register s0..s15 expected");
        Advance();
        if (!Expect(')') || !Expect(';'))
            return false;
        for (const FxStageSampler& s : m_Out->stageSamplers)
            if (s.name == sampler.name)
                return Fail("sampler " + sampler.name + " declared twice");
        m_Out->stageSamplers.push_back(sampler);
        return true;
    }

    bool CodeBlock()
    {
        Advance();
        std::string name;
        if (!Ident(&name, "code block name") || !Expect('='))
            return false;
        if (m_Tok.kind != Tok::Code)
            return Fail("\"\"\" program text expected");
        if (m_Codes.count(name))
            return Fail("code block " + name + " declared twice");
        m_Codes[name] = std::make_shared<const std::string>(m_Tok.text);
        Advance();
        return Expect(';');
    }

    bool Type(FxParameter* p)
    {
        if (m_Tok.kind != Tok::Ident)
            return Fail("type expected");
        const std::string& t = m_Tok.text;
        if (t == "bool")
        {
            p->type = FxType::Bool;
        }
        else if (t == "int")
        {
            p->type = FxType::Int;
        }
        else if (t == "string")
        {
            p->type = FxType::String;
        }
        else if (t == "texture")
        {
            p->type = FxType::Texture;
        }
        else if (t.rfind("float", 0) == 0)
        {
            p->type = FxType::Float;
            std::string rest = t.substr(5);
            if (rest.empty())
            {
            }
            else if (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '4')
            {
                p->columns = uint8_t(rest[0] - '0');
            }
            else if (rest.size() == 3 && rest[1] == 'x' && rest[0] >= '1' && rest[0] <= '4' && rest[2] >= '1' &&
                     rest[2] <= '4')
            {
                p->rows = uint8_t(rest[0] - '0');
                p->columns = uint8_t(rest[2] - '0');
            }
            else
            {
                return Fail("unknown type " + t);
            }
        }
        else
        {
            return Fail("unknown type " + t);
        }
        Advance();
        return true;
    }

    // [shared] type name [ '[' n ']' ] [ ':' semantic ] [ <annotations> ] [ = value ] ;
    bool Parameter(FxParameter* p, bool topLevel)
    {
        if (topLevel && IsWord("shared"))
        {
            p->shared = true;
            Advance();
        }
        if (!Type(p) || !Ident(&p->name, "parameter name"))
            return false;
        if (IsPunct('['))
        {
            Advance();
            if (!Unsigned(&p->elements))
                return false;
            if (p->elements == 0 || p->elements > 65536)
                return Fail("array size out of range");
            if (p->type == FxType::String || p->type == FxType::Texture)
                return Fail("arrays of this type are not supported");
            if (!Expect(']'))
                return false;
        }
        if (topLevel && IsPunct(':'))
        {
            Advance();
            if (!Ident(&p->semantic, "semantic"))
                return false;
        }
        if (topLevel && IsPunct('<') && !Annotations(&p->annotations))
            return false;
        p->own.words.assign(p->Words(), 0u);
        if (IsPunct('='))
        {
            Advance();
            if (!Value(p))
                return false;
        }
        else if (!topLevel)
        {
            return Fail("annotation value expected");
        }
        return Expect(';');
    }

    bool Annotations(std::vector<std::unique_ptr<FxParameter>>* list)
    {
        Advance();
        while (!IsPunct('>'))
        {
            if (m_Tok.kind == Tok::End)
                return Fail("'>' expected");
            auto a = std::make_unique<FxParameter>();
            if (!Parameter(a.get(), false))
                return false;
            list->push_back(std::move(a));
        }
        Advance();
        return true;
    }

    bool Scalar(FxType type, uint32_t* out)
    {
        if (m_Tok.kind == Tok::Ident && (m_Tok.text == "true" || m_Tok.text == "false"))
        {
            bool b = m_Tok.text == "true";
            if (type == FxType::Float)
            {
                float f = b ? 1.0f : 0.0f;
                std::memcpy(out, &f, 4);
            }
            else
            {
                *out = b ? 1u : 0u;
            }
            Advance();
            return true;
        }
        if (m_Tok.kind != Tok::Number)
            return Fail("number expected");
        const char* b = m_Tok.text.data();
        const char* e = b + m_Tok.text.size();
        if (type == FxType::Float)
        {
            float f = 0;
            if (e > b && (e[-1] == 'f' || e[-1] == 'F'))
                --e;
            auto r = std::from_chars(b, e, f);
            if (r.ec != std::errc() || r.ptr != e)
                return Fail("bad number " + m_Tok.text);
            std::memcpy(out, &f, 4);
        }
        else
        {
            int32_t i = 0;
            auto r = std::from_chars(b, e, i);
            if (r.ec != std::errc() || r.ptr != e)
                return Fail("bad whole number " + m_Tok.text);
            *out = type == FxType::Bool ? (i != 0 ? 1u : 0u) : uint32_t(i);
        }
        Advance();
        return true;
    }

    bool Value(FxParameter* p)
    {
        if (p->type == FxType::Texture)
            return Fail("a texture parameter takes no value");
        if (p->type == FxType::String)
        {
            if (m_Tok.kind != Tok::String)
                return Fail("string expected");
            p->own.text = m_Tok.text;
            Advance();
            return true;
        }
        uint32_t n = p->Words();
        if (!IsPunct('{'))
        {
            if (n != 1)
                return Fail("'{' expected for " + p->name);
            return Scalar(p->type, &p->own.words[0]);
        }
        Advance();
        uint32_t i = 0;
        while (!IsPunct('}'))
        {
            if (i == n)
                return Fail("too many values for " + p->name);
            if (!Scalar(p->type, &p->own.words[i++]))
                return false;
            if (IsPunct(','))
                Advance();
            else if (!IsPunct('}'))
                return Fail("',' or '}' expected");
        }
        Advance();
        if (i != n)
            return Fail("too few values for " + p->name);
        return true;
    }

    static std::unique_ptr<FxParameter> Clone(const FxParameter& p)
    {
        auto c = std::make_unique<FxParameter>();
        c->name = p.name;
        c->semantic = p.semantic;
        c->type = p.type;
        c->rows = p.rows;
        c->columns = p.columns;
        c->elements = p.elements;
        c->shared = p.shared;
        c->own = p.own;
        for (const auto& a : p.annotations)
            c->annotations.push_back(Clone(*a));
        return c;
    }

    bool Technique()
    {
        Advance();
        auto t = std::make_unique<FxTechnique>();
        if (!Ident(&t->name, "technique name"))
            return false;
        std::string letters;
        if (IsWord("variants"))
        {
            Advance();
            if (m_Tok.kind != Tok::String)
                return Fail("variant letters expected");
            letters = m_Tok.text;
            // The letters of the engine's variant names, in the order names carry them.
            static const std::string Order = "3FHDSBELVGW";
            size_t at = 0;
            for (char c : letters)
            {
                size_t found = Order.find(c, at);
                if (found == std::string::npos)
                    return Fail("variant letters must be a subsequence of " + Order);
                at = found + 1;
            }
            Advance();
        }
        if (IsPunct('<') && !Annotations(&t->annotations))
            return false;
        if (!Expect('{'))
            return false;
        while (!IsPunct('}'))
        {
            if (!IsWord("pass"))
                return Fail("pass expected");
            Advance();
            auto pass = std::make_unique<FxPass>();
            if (!Ident(&pass->name, "pass name"))
                return false;
            if (IsPunct('<') && !Annotations(&pass->annotations))
                return false;
            if (!Pass(pass.get()))
                return false;
            t->passes.push_back(std::move(pass));
        }
        Advance();
        if (t->passes.empty())
            return Fail("technique " + t->name + " has no pass");
        // One technique per subset of the variant letters, named base + letters, each pass defining
        // WE_VARIANT_<letter> for its letters (the base technique is the empty subset).
        std::vector<std::unique_ptr<FxTechnique>> made;
        for (uint32_t mask = 1; mask < (1u << letters.size()); ++mask)
        {
            auto v = std::make_unique<FxTechnique>();
            v->name = t->name;
            std::string defines;
            for (size_t i = 0; i < letters.size(); ++i)
                if (mask & (1u << (letters.size() - 1 - i)))
                {
                    v->name += letters[i];
                    defines += std::string(" WE_VARIANT_") + letters[i];
                }
            for (const auto& a : t->annotations)
                v->annotations.push_back(Clone(*a));
            for (const auto& pass : t->passes)
            {
                auto q = std::make_unique<FxPass>();
                q->name = pass->name;
                q->renderStates = pass->renderStates;
                q->samplers = pass->samplers;
                q->defines = pass->defines + defines;
                q->vertexSource = pass->vertexSource;
                q->fragmentSource = pass->fragmentSource;
                for (const auto& a : pass->annotations)
                    q->annotations.push_back(Clone(*a));
                v->passes.push_back(std::move(q));
            }
            made.push_back(std::move(v));
        }
        made.insert(made.begin(), std::move(t));
        for (auto& m : made)
        {
            if (!m_TechniqueNames.insert(m->name).second)
                return Fail("technique " + m->name + " declared twice");
            m_Out->techniques.push_back(std::move(m));
        }
        return true;
    }

    bool Program(std::shared_ptr<const std::string>* out)
    {
        if (m_Tok.kind == Tok::Code)
        {
            *out = std::make_shared<const std::string>(m_Tok.text);
        }
        else if (m_Tok.kind == Tok::Ident)
        {
            auto it = m_Codes.find(m_Tok.text);
            if (it == m_Codes.end())
                return Fail("unknown code block " + m_Tok.text);
            *out = it->second;
        }
        else
        {
            return Fail("program text or code block name expected");
        }
        Advance();
        return true;
    }

    FxSampler* SamplerAt(FxPass* pass, uint32_t unit)
    {
        for (auto& s : pass->samplers)
            if (s.unit == unit)
                return &s;
        pass->samplers.push_back(FxSampler{});
        pass->samplers.back().unit = unit;
        return &pass->samplers.back();
    }

    bool StateValue(Kind kind, uint32_t* out)
    {
        if (m_Tok.kind == Tok::Ident)
        {
            if (!SymbolValue(kind, Upper(m_Tok.text), out))
                return Fail("unknown value " + m_Tok.text);
            Advance();
            return true;
        }
        if (m_Tok.kind != Tok::Number)
            return Fail("state value expected");
        bool isFloat = m_Tok.text.find_first_of(".eE") != std::string::npos && m_Tok.text.rfind("0x", 0) != 0 &&
                       m_Tok.text.rfind("0X", 0) != 0;
        const char* b = m_Tok.text.data();
        const char* e = b + m_Tok.text.size();
        if (isFloat)
        {
            float f = 0;
            if (e[-1] == 'f' || e[-1] == 'F')
                --e;
            auto r = std::from_chars(b, e, f);
            if (r.ec != std::errc() || r.ptr != e)
                return Fail("bad number " + m_Tok.text);
            std::memcpy(out, &f, 4);
        }
        else
        {
            int base = 10;
            if (m_Tok.text.size() > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X'))
                b += 2, base = 16;
            bool negative = *b == '-';
            if (negative)
                ++b;
            uint32_t v = 0;
            auto r = std::from_chars(b, e, v, base);
            if (r.ec != std::errc() || r.ptr != e)
                return Fail("bad number " + m_Tok.text);
            *out = negative ? uint32_t(0u - v) : v;
        }
        Advance();
        return true;
    }

    bool Pass(FxPass* pass)
    {
        if (!Expect('{'))
            return false;
        while (!IsPunct('}'))
        {
            std::string key;
            if (!Ident(&key, "pass state"))
                return false;
            std::string upper = Upper(key);
            uint32_t index = 0;
            bool indexed = false;
            if (IsPunct('['))
            {
                Advance();
                if (!Unsigned(&index) || !Expect(']'))
                    return false;
                if (index > 15)
                    return Fail("texture unit out of range");
                indexed = true;
            }
            if (!Expect('='))
                return false;
            if (upper == "VERTEXPROGRAM" || upper == "FRAGMENTPROGRAM")
            {
                auto* dst = upper[0] == 'V' ? &pass->vertexSource : &pass->fragmentSource;
                if (*dst)
                    return Fail(key + " given twice");
                if (!Program(dst))
                    return false;
            }
            else if (upper == "DEFINES")
            {
                if (m_Tok.kind != Tok::String)
                    return Fail("string expected");
                pass->defines = m_Tok.text;
                Advance();
            }
            else if (upper == "TEXTURE")
            {
                if (!indexed)
                    return Fail("Texture needs a unit: Texture[n]");
                std::string name;
                if (!Ident(&name, "texture parameter name"))
                    return false;
                const FxParameter* target = nullptr;
                for (auto& q : m_Out->parameters)
                    if (q->name == name)
                        target = q.get();
                if (!target || target->type != FxType::Texture)
                    return Fail(name + " is not a texture parameter");
                SamplerAt(pass, index)->texture = name;
            }
            else if (const StateName* s = FindState(std::begin(SamplerStates), std::end(SamplerStates), upper))
            {
                if (!indexed)
                    return Fail(key + " needs a unit: " + key + "[n]");
                uint32_t v = 0;
                if (!StateValue(s->kind, &v))
                    return false;
                SamplerAt(pass, index)->states.emplace_back(s->id, v);
            }
            else if (const StateName* r = FindState(std::begin(RenderStates), std::end(RenderStates), upper))
            {
                if (indexed)
                    return Fail(key + " takes no unit");
                uint32_t v = 0;
                if (!StateValue(r->kind, &v))
                    return false;
                pass->renderStates.emplace_back(r->id, v);
            }
            else
            {
                return Fail("unknown pass state " + key);
            }
            if (!Expect(';'))
                return false;
        }
        Advance();
        if (!pass->vertexSource || !pass->fragmentSource)
            return Fail("pass " + pass->name + " needs a VertexProgram and a FragmentProgram");
        return true;
    }

    Lexer m_Lex;
    Token m_Tok;
    FxEffectData* m_Out;
    std::map<std::string, std::shared_ptr<const std::string>> m_Codes;
    std::set<std::string> m_TechniqueNames;
    std::string m_Err;
    int m_ErrLine = 0;
};

}  // namespace

bool FxParser::Parse(std::string_view text, FxEffectData* out, std::string* error)
{
    Parser parser(text, out);
    return parser.Run(error);
}
