#pragma once
// Writes XFileData as a text .x file ("xof 0303txt 0032") that XFileReader reads back to the same records:
// numbers in the C locale, floats with the shortest digits that read back exactly, materials inline.
// Used by the content tools and by tests that need .x files.
#include <string>

#include "Platform/gfx_d3dx/XFileData.h"

class XFileWriter
{
public:
    // False, with the reason in *error when given, for data the reader would refuse: names that are not
    // identifiers, indices out of range, per-face or per-vertex lists of the wrong length, non-finite numbers,
    // frames nested deeper than the reader takes.
    static bool Write(const XFileData& data, std::string* text, std::string* error = nullptr);

private:
    explicit XFileWriter(std::string* text) : m_Text(text) {}

    bool Fail(const std::string& reason);
    void Line(int indent, const std::string& text);
    std::string Number(float value);
    std::string Floats(const float* values, int count, const char* separator);
    bool CheckName(const std::string& name, bool required, const char* what);
    bool CheckString(const std::string& value, const char* what);
    bool CheckFinite(const float* values, size_t count, const char* what);

    bool WriteFrame(const XFileFrame& frame, int indent, int depth);
    bool WriteMesh(const XFileMesh& mesh, int indent);
    bool WriteMaterial(const XFileMaterial& material, int indent);
    bool WriteAnimationSet(const XFileAnimationSet& set);

    std::string* m_Text;
    std::string m_Error;
};
