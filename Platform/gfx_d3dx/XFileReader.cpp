#include "Platform/gfx_d3dx/XFileReader.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace
{

// Frames nest by recursion; deeper files are refused rather than risking the stack.
constexpr int MaxFrameDepth = 128;

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '+' || c == '.';
}

bool IsNumber(std::string_view word)
{
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    auto result = std::from_chars(first, last, value);
    return first != last && result.ec == std::errc() && result.ptr == last;
}

// Case-insensitive, for the one name exporters spell two ways (TextureFilename, TextureFileName).
bool SameName(std::string_view a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
    {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace

bool XFileReader::Read(const void* bytes, size_t size, XFileData* data)
{
    if (!bytes || !data || size < 16)
        return false;
    const char* text = static_cast<const char*>(bytes);
    // "xof " version "0302"/"0303", format "txt " (not "bin ", "tzip", "bzip"), float size "0032"/"0064".
    if (std::memcmp(text, "xof 03", 6) != 0 ||
        (std::memcmp(text + 6, "02", 2) != 0 && std::memcmp(text + 6, "03", 2) != 0) ||
        std::memcmp(text + 8, "txt ", 4) != 0 ||
        (std::memcmp(text + 12, "0032", 4) != 0 && std::memcmp(text + 12, "0064", 4) != 0))
        return false;
    XFileReader reader(text + 16, size - 16);
    XFileData result;
    if (!reader.ParseFile(&result))
        return false;
    *data = std::move(result);
    return true;
}

void XFileReader::SkipSpace()
{
    while (m_Pos < m_End)
    {
        char c = *m_Pos;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';')
        {
            ++m_Pos;
        }
        else if (c == '#' || (c == '/' && m_Pos + 1 < m_End && m_Pos[1] == '/'))
        {
            while (m_Pos < m_End && *m_Pos != '\n')
                ++m_Pos;
        }
        else
        {
            break;
        }
    }
}

XFileReader::Token XFileReader::Next(std::string_view* text)
{
    SkipSpace();
    if (m_Pos >= m_End)
        return Token::End;
    const char* start = m_Pos;
    char c = *m_Pos;
    if (c == '{' || c == '}')
    {
        ++m_Pos;
        return c == '{' ? Token::Open : Token::Close;
    }
    if (c == '"')
    {
        const char* close = static_cast<const char*>(std::memchr(m_Pos + 1, '"', size_t(m_End - m_Pos - 1)));
        if (!close)
            return Token::Bad;
        if (text)
            *text = std::string_view(m_Pos + 1, size_t(close - m_Pos - 1));
        m_Pos = close + 1;
        return Token::String;
    }
    if (!IsWordChar(c))
        return Token::Bad;
    while (m_Pos < m_End && IsWordChar(*m_Pos))
        ++m_Pos;
    std::string_view word(start, size_t(m_Pos - start));
    if (text)
        *text = word;
    return IsNumber(word) ? Token::Number : Token::Name;
}

XFileReader::Token XFileReader::Peek()
{
    const char* saved = m_Pos;
    Token token = Next();
    m_Pos = saved;
    return token;
}

bool XFileReader::Expect(Token token)
{
    return Next() == token;
}

bool XFileReader::SkipBlock()
{
    // Character by character: template bodies hold GUIDs and brackets that are no tokens of ours.
    int depth = 1;
    while (m_Pos < m_End)
    {
        char c = *m_Pos++;
        if (c == '{')
        {
            ++depth;
        }
        else if (c == '}')
        {
            if (--depth == 0)
                return true;
        }
        else if (c == '"')
        {
            while (m_Pos < m_End && *m_Pos != '"')
                ++m_Pos;
            if (m_Pos == m_End)
                return false;
            ++m_Pos;
        }
        else if (c == '#' || (c == '/' && m_Pos < m_End && *m_Pos == '/'))
        {
            while (m_Pos < m_End && *m_Pos != '\n')
                ++m_Pos;
        }
    }
    return false;
}

bool XFileReader::ObjectStart(std::string* name)
{
    std::string_view text;
    Token token = Next(&text);
    if (token == Token::Name || token == Token::Number)
    {
        if (name)
            name->assign(text);
        token = Next();
    }
    return token == Token::Open;
}

bool XFileReader::Fits(uint64_t count, uint64_t perItem) const
{
    // Every value takes at least one character of the text.
    return count * perItem <= uint64_t(m_End - m_Pos);
}

bool XFileReader::ReadCount(uint32_t* value, uint64_t perItem)
{
    return ReadUInt(value) && Fits(*value, perItem);
}

bool XFileReader::ReadUInt(uint32_t* value)
{
    std::string_view text;
    if (Next(&text) != Token::Number)
        return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+')
        ++first;
    auto result = std::from_chars(first, last, *value);
    return result.ec == std::errc() && result.ptr == last;
}

bool XFileReader::ReadFloat(float* value)
{
    std::string_view text;
    if (Next(&text) != Token::Number)
        return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+')
        ++first;
    auto result = std::from_chars(first, last, *value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(*value);
}

bool XFileReader::ReadFloats(float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ReadFloat(&values[i]))
            return false;
    return true;
}

bool XFileReader::ReadString(std::string* value)
{
    std::string_view text;
    if (Next(&text) != Token::String)
        return false;
    value->assign(text);
    return true;
}

bool XFileReader::ParseFile(XFileData* data)
{
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::End)
            return true;
        if (token == Token::Open)
        {
            if (!SkipBlock())
                return false;
            continue;
        }
        if (token != Token::Name)
            return false;
        std::string name;
        if (SameName(type, "template"))
        {
            if (Next() != Token::Name || !Expect(Token::Open) || !SkipBlock())
                return false;
            continue;
        }
        if (!ObjectStart(&name))
            return false;
        bool ok = true;
        if (type == "Frame")
        {
            data->frames.emplace_back();
            data->frames.back().name = name;
            ok = ParseFrame(&data->frames.back(), 1);
        }
        else if (type == "Mesh")
        {
            // A mesh outside every frame: an unnamed root frame of its own holds it.
            data->frames.emplace_back();
            data->frames.back().meshes.emplace_back();
            data->frames.back().meshes.back().name = name;
            ok = ParseMesh(&data->frames.back().meshes.back());
        }
        else if (type == "Material")
        {
            XFileMaterial material;
            material.name = name;
            ok = ParseMaterial(&material);
            m_NamedMaterials.push_back(std::move(material));
        }
        else if (type == "AnimTicksPerSecond")
        {
            ok = ReadUInt(&data->ticksPerSecond) && data->ticksPerSecond > 0 && Expect(Token::Close);
        }
        else if (type == "AnimationSet")
        {
            data->animationSets.emplace_back();
            data->animationSets.back().name = name;
            ok = ParseAnimationSet(&data->animationSets.back());
        }
        else
        {
            ok = SkipBlock();
        }
        if (!ok)
            return false;
    }
}

bool XFileReader::ParseFrame(XFileFrame* frame, int depth)
{
    if (depth > MaxFrameDepth)
        return false;
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            return true;
        if (token == Token::Open)
        {
            if (!SkipBlock())  // a reference: frames hold their objects inline
                return false;
            continue;
        }
        if (token != Token::Name)
            return false;
        std::string name;
        if (!ObjectStart(&name))
            return false;
        bool ok = true;
        if (type == "FrameTransformMatrix")
        {
            ok = ReadFloats(frame->transform, 16) && Expect(Token::Close);
        }
        else if (type == "Frame")
        {
            frame->children.emplace_back();
            frame->children.back().name = name;
            ok = ParseFrame(&frame->children.back(), depth + 1);
        }
        else if (type == "Mesh")
        {
            frame->meshes.emplace_back();
            frame->meshes.back().name = name;
            ok = ParseMesh(&frame->meshes.back());
        }
        else
        {
            ok = SkipBlock();
        }
        if (!ok)
            return false;
    }
}

bool XFileReader::ParseMesh(XFileMesh* mesh)
{
    uint32_t vertices = 0, faces = 0;
    if (!ReadCount(&vertices, 3))
        return false;
    mesh->positions.resize(vertices);
    for (D3DXVECTOR3& p : mesh->positions)
        if (!ReadFloats(p, 3))
            return false;
    // A face is its corner count and at least three indices.
    if (!ReadCount(&faces, 4))
        return false;
    mesh->faces.resize(faces);
    for (std::vector<uint32_t>& face : mesh->faces)
    {
        uint32_t corners = 0;
        if (!ReadCount(&corners, 1) || corners < 3)
            return false;
        face.resize(corners);
        for (uint32_t& index : face)
            if (!ReadUInt(&index) || index >= vertices)
                return false;
    }
    bool skinHeader = false;
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            break;
        if (token == Token::Open)
        {
            if (!SkipBlock())
                return false;
            continue;
        }
        if (token != Token::Name || !ObjectStart(nullptr))
            return false;
        bool ok = true;
        if (type == "MeshNormals")
        {
            ok = ParseNormals(mesh);
        }
        else if (type == "MeshTextureCoords")
        {
            ok = ParseTextureCoords(mesh);
        }
        else if (type == "MeshMaterialList")
        {
            ok = ParseMaterialList(mesh);
        }
        else if (type == "XSkinMeshHeader")
        {
            skinHeader = true;
            ok = ReadUInt(&mesh->maxSkinWeightsPerVertex) && ReadUInt(&mesh->maxSkinWeightsPerFace) &&
                 ReadUInt(&mesh->skinBones) && Expect(Token::Close);
        }
        else if (type == "SkinWeights")
        {
            ok = ParseSkinWeights(mesh);
        }
        else
        {
            ok = SkipBlock();
        }
        if (!ok)
            return false;
    }
    mesh->hasSkinHeader = skinHeader;
    // The header names how many bones there are; more weight sets than bones is a contradiction.
    return !skinHeader || mesh->skinWeights.size() <= mesh->skinBones;
}

bool XFileReader::ParseNormals(XFileMesh* mesh)
{
    uint32_t normals = 0, faces = 0;
    if (!ReadCount(&normals, 3))
        return false;
    mesh->normals.assign(normals, D3DXVECTOR3());
    for (D3DXVECTOR3& n : mesh->normals)
        if (!ReadFloats(n, 3))
            return false;
    // One normal face per face, corner for corner.
    if (!ReadUInt(&faces) || faces != mesh->faces.size())
        return false;
    mesh->normalFaces.assign(faces, {});
    for (uint32_t f = 0; f < faces; ++f)
    {
        uint32_t corners = 0;
        if (!ReadUInt(&corners) || corners != mesh->faces[f].size())
            return false;
        mesh->normalFaces[f].resize(corners);
        for (uint32_t& index : mesh->normalFaces[f])
            if (!ReadUInt(&index) || index >= normals)
                return false;
    }
    return Expect(Token::Close);
}

bool XFileReader::ParseTextureCoords(XFileMesh* mesh)
{
    uint32_t count = 0;
    if (!ReadUInt(&count) || count != mesh->positions.size())
        return false;
    mesh->uvs.assign(count, D3DXVECTOR2());
    for (D3DXVECTOR2& uv : mesh->uvs)
        if (!ReadFloats(uv, 2))
            return false;
    return Expect(Token::Close);
}

bool XFileReader::ParseMaterialList(XFileMesh* mesh)
{
    uint32_t materials = 0, indices = 0;
    if (!ReadCount(&materials, 1) || !ReadUInt(&indices) || indices > mesh->faces.size())
        return false;
    std::vector<uint32_t> faceMaterials(indices);
    for (uint32_t& index : faceMaterials)
        if (!ReadUInt(&index) || index >= materials)
            return false;
    std::vector<XFileMaterial> list;
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            break;
        if (token == Token::Open)
        {
            // A reference to a named material given earlier.
            std::string_view name;
            if (Next(&name) != Token::Name || !Expect(Token::Close))
                return false;
            const XFileMaterial* found = nullptr;
            for (const XFileMaterial& m : m_NamedMaterials)
                if (m.name == name)
                    found = &m;
            if (!found || list.size() >= materials)
                return false;
            list.push_back(*found);
            continue;
        }
        if (token != Token::Name)
            return false;
        std::string name;
        if (!ObjectStart(&name))
            return false;
        if (type == "Material")
        {
            if (list.size() >= materials)
                return false;
            XFileMaterial material;
            material.name = name;
            if (!ParseMaterial(&material))
                return false;
            if (!name.empty())
                m_NamedMaterials.push_back(material);
            list.push_back(std::move(material));
        }
        else if (!SkipBlock())
        {
            return false;
        }
    }
    if (list.size() != materials)
        return false;
    // Faces beyond the listed indices take the last one listed.
    faceMaterials.resize(mesh->faces.size(), faceMaterials.empty() ? 0u : faceMaterials.back());
    if (materials == 0)
        faceMaterials.clear();
    mesh->materials = std::move(list);
    mesh->faceMaterials = std::move(faceMaterials);
    return true;
}

bool XFileReader::ParseMaterial(XFileMaterial* material)
{
    if (!ReadFloats(material->diffuse, 4) || !ReadFloat(&material->power) || !ReadFloats(material->specular, 3) ||
        !ReadFloats(material->emissive, 3))
        return false;
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            return true;
        if (token == Token::Open)
        {
            if (!SkipBlock())
                return false;
            continue;
        }
        if (token != Token::Name || !ObjectStart(nullptr))
            return false;
        if (SameName(type, "TextureFilename"))
        {
            if (!ReadString(&material->texture) || !Expect(Token::Close))
                return false;
        }
        else if (!SkipBlock())
        {
            return false;
        }
    }
}

bool XFileReader::ParseSkinWeights(XFileMesh* mesh)
{
    XFileSkinWeights skin;
    uint32_t count = 0;
    if (!ReadString(&skin.bone) || !ReadCount(&count, 2))
        return false;
    skin.vertices.resize(count);
    skin.weights.resize(count);
    for (uint32_t& v : skin.vertices)
        if (!ReadUInt(&v) || v >= mesh->positions.size())
            return false;
    for (float& w : skin.weights)
        if (!ReadFloat(&w))
            return false;
    if (!ReadFloats(skin.offset, 16) || !Expect(Token::Close))
        return false;
    mesh->skinWeights.push_back(std::move(skin));
    return true;
}

bool XFileReader::ParseAnimationSet(XFileAnimationSet* set)
{
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            return true;
        if (token == Token::Open)
        {
            if (!SkipBlock())
                return false;
            continue;
        }
        if (token != Token::Name)
            return false;
        std::string name;
        if (!ObjectStart(&name))
            return false;
        if (type == "Animation")
        {
            set->animations.emplace_back();
            set->animations.back().name = name;
            if (!ParseAnimation(&set->animations.back()))
                return false;
        }
        else if (!SkipBlock())
        {
            return false;
        }
    }
}

bool XFileReader::ParseAnimation(XFileAnimation* animation)
{
    for (;;)
    {
        std::string_view type;
        Token token = Next(&type);
        if (token == Token::Close)
            return true;
        if (token == Token::Open)
        {
            // The animated frame, by reference.
            std::string_view name;
            Token inner = Next(&name);
            if ((inner != Token::Name && inner != Token::Number) || !Expect(Token::Close))
                return false;
            if (animation->frame.empty())
                animation->frame.assign(name);
            continue;
        }
        if (token != Token::Name || !ObjectStart(nullptr))
            return false;
        bool ok = type == "AnimationKey" ? ParseAnimationKey(animation) : SkipBlock();
        if (!ok)
            return false;
    }
}

bool XFileReader::ParseAnimationKey(XFileAnimation* animation)
{
    uint32_t type = 0, keys = 0;
    // A key is its time, its value count and at least one value.
    if (!ReadUInt(&type) || !ReadCount(&keys, 3))
        return false;
    static const uint32_t ValueCounts[5] = {4, 3, 3, 0, 16};
    for (uint32_t k = 0; k < keys; ++k)
    {
        uint32_t time = 0, values = 0;
        if (!ReadUInt(&time) || !ReadCount(&values, 1))
            return false;
        if (type > 4 || type == 3)
        {
            // A kind the engine does not animate: read past its values.
            float ignored = 0.0f;
            for (uint32_t i = 0; i < values; ++i)
                if (!ReadFloat(&ignored))
                    return false;
            continue;
        }
        if (values != ValueCounts[type])
            return false;
        float v[16];
        if (!ReadFloats(v, int(values)))
            return false;
        if (type == 0)
            animation->rotations.push_back({time, D3DXQUATERNION(v[1], v[2], v[3], v[0])});
        else if (type == 1)
            animation->scales.push_back({time, D3DXVECTOR3(v[0], v[1], v[2])});
        else if (type == 2)
            animation->positions.push_back({time, D3DXVECTOR3(v[0], v[1], v[2])});
        else
            animation->matrices.push_back({time, D3DXMATRIX(v)});
    }
    return Expect(Token::Close);
}
