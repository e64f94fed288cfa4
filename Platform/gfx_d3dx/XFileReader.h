#pragma once
// Reads a text .x file ("xof 0302txt " or "0303txt ", float size 0032 or 0064) into XFileData. Binary and
// compressed files are refused. Templates are skipped, as is every object the engine has no use for.
// Commas and semicolons only separate values; every count is checked against what is left of the text
// before anything is allocated, so a damaged or hostile text fails without a large allocation.
#include <cstddef>
#include <string>
#include <string_view>

#include "Platform/gfx_d3dx/XFileData.h"

class XFileReader
{
public:
    // False for anything but a well-formed text file; *data is only written on success.
    static bool Read(const void* bytes, size_t size, XFileData* data);

private:
    enum class Token
    {
        End,
        Number,
        Name,
        String,
        Open,
        Close,
        Bad
    };

    XFileReader(const char* text, size_t size) : m_Pos(text), m_End(text + size) {}

    void SkipSpace();
    Token Next(std::string_view* text = nullptr);
    Token Peek();
    bool Expect(Token token);
    bool SkipBlock();
    // After an object's type: an optional name, then the opening brace.
    bool ObjectStart(std::string* name);
    // True when count items of at least perItem values each can still follow.
    bool Fits(uint64_t count, uint64_t perItem) const;
    bool ReadCount(uint32_t* value, uint64_t perItem);
    bool ReadUInt(uint32_t* value);
    bool ReadFloat(float* value);
    bool ReadFloats(float* values, int count);
    bool ReadString(std::string* value);

    bool ParseFile(XFileData* data);
    bool ParseFrame(XFileFrame* frame, int depth);
    bool ParseMesh(XFileMesh* mesh);
    bool ParseNormals(XFileMesh* mesh);
    bool ParseTextureCoords(XFileMesh* mesh);
    bool ParseMaterialList(XFileMesh* mesh);
    bool ParseMaterial(XFileMaterial* material);
    bool ParseSkinWeights(XFileMesh* mesh);
    bool ParseAnimationSet(XFileAnimationSet* set);
    bool ParseAnimation(XFileAnimation* animation);
    bool ParseAnimationKey(XFileAnimation* animation);

    const char* m_Pos;
    const char* m_End;
    std::vector<XFileMaterial> m_NamedMaterials;  // for references from material lists
};
