// Feeds arbitrary bytes to the .x reader, then everything the loaders do with what it accepts on the CPU:
// the geometry of every mesh (fanning, vertex splitting, the merge, attribute sorting), the skin weights
// moved to vertices, the animation controller playing the sets, and the writer, whose text must read back
// and write again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Platform/gfx_d3dx/D3dxAnimationController.h"
#include "Platform/gfx_d3dx/XFileGeometry.h"
#include "Platform/gfx_d3dx/XFileReader.h"
#include "Platform/gfx_d3dx/XFileWriter.h"

namespace
{

void Walk(std::vector<XFileFrame>& frames, const D3DXMATRIX& parent, XFileGeometry* merged,
          std::vector<std::pair<std::string, D3DXMATRIX*>>* outputs)
{
    for (XFileFrame& frame : frames)
    {
        D3DXMATRIX combined = frame.transform * parent;
        for (const XFileMesh& mesh : frame.meshes)
        {
            XFileGeometry geometry;
            if (!geometry.Build(mesh))
                std::abort();  // the reader gave a mesh it should have refused
            std::vector<XFileSkinWeights> bones;
            geometry.SkinBones(mesh, &bones);
            merged->Append(geometry, combined);
            geometry.SortByAttribute();
        }
        outputs->push_back({frame.name, &frame.transform});
        Walk(frame.children, combined, merged, outputs);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XFileData file;
    if (!XFileReader::Read(data, size, &file))
        return 0;

    std::string text;
    if (XFileWriter::Write(file, &text))
    {
        XFileData again;
        std::string second;
        if (!XFileReader::Read(text.data(), text.size(), &again) || !XFileWriter::Write(again, &second) ||
            second != text)
            std::abort();
    }

    XFileGeometry merged;
    std::vector<std::pair<std::string, D3DXMATRIX*>> outputs;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Walk(file.frames, identity, &merged, &outputs);
    merged.SortByAttribute();

    D3dxAnimationController* controller = D3dxAnimationController::Create(file, UINT(outputs.size()));
    if (controller)
    {
        for (auto& [name, matrix] : outputs)
            controller->RegisterAnimationOutput(name.c_str(), matrix, nullptr, nullptr, nullptr);
        for (double step : {0.0, 0.016, 0.5, -2.0, 1e6})
            controller->AdvanceTime(step, nullptr);
        ID3DXAnimationController* clone = nullptr;
        controller->CloneAnimationController(1, 1, 1, 0, &clone);
        clone->AdvanceTime(0.25, nullptr);
        clone->Release();
        controller->Release();
    }
    return 0;
}
