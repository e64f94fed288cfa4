#include "Tools/content/ContentModelWriter.h"

#include <algorithm>
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeModel.h"
#include "Platform/gfx_d3dx/XFileWriter.h"

namespace
{

void Collect(const std::vector<XFileFrame>& frames, size_t index, std::vector<const XFileMesh*>* out)
{
    for (; index < frames.size(); ++index)
    {
        const XFileFrame& frame = frames[index];
        for (const XFileMesh& mesh : frame.meshes)
            if (!mesh.faces.empty())
                out->push_back(&mesh);
        // The reader goes on along the siblings before it descends: the first child's turn comes after them.
        Collect(frames, index + 1, out);
        Collect(frame.children, 0, out);
        return;
    }
}

}  // namespace

std::vector<const XFileMesh*> ContentModelWriter::ContainerOrder(const XFileData& data)
{
    std::vector<const XFileMesh*> order;
    Collect(data.frames, 0, &order);
    return order;
}

bool ContentModelWriter::WriteFile(WeFileStream& stream, const XFileData& data,
                                   const std::vector<Container>& containers, std::string* error)
{
    std::string text;
    if (!XFileWriter::Write(data, &text, error))
        return false;
    const std::vector<const XFileMesh*> order = ContainerOrder(data);
    if (order.size() != containers.size())
    {
        *error = "the model has " + std::to_string(order.size()) + " meshes but names for " +
                 std::to_string(containers.size());
        return false;
    }
    // Every container stores one count for all presets: the largest a preset names.
    std::vector<size_t> counts;
    for (const Container& c : containers)
    {
        size_t count = c.names[0].size();
        for (const std::vector<std::string>& names : c.names)
            count = std::max(count, names.size());
        for (const std::vector<std::string>& names : c.names)
            for (const std::string& name : names)
                if (name.size() > 0xFFFF)
                {
                    *error = "a material name is longer than 65535 bytes";
                    return false;
                }
        counts.push_back(count);
    }
    bool ok = stream.WriteInt32(WeModel::NewestVersion) && stream.WriteInt32(int32_t(text.size())) &&
              stream.Write(text.data(), int64_t(text.size()));
    for (size_t i = 0; ok && i < containers.size(); ++i)
    {
        const Container& c = containers[i];
        ok = stream.WriteInt32(int32_t(counts[i]));
        for (int preset = 0; ok && preset < Presets; ++preset)
        {
            const std::vector<std::string>& names = c.names[preset].empty() ? c.names[0] : c.names[preset];
            for (size_t k = 0; ok && k < counts[i]; ++k)
            {
                // A subset a preset does not name takes preset 0's material.
                const std::vector<std::string>& from = k < names.size() ? names : c.names[0];
                ok = stream.WriteString(k < from.size() ? from[k].c_str() : "");
            }
        }
    }
    if (!ok)
        *error = "cannot write the model";
    return ok;
}

bool ContentModelWriter::WriteMember(const std::string& source, const std::string& name, const XFileData& data,
                                     const std::vector<Container>& containers, WeVirtualFileSystem& staged,
                                     ContentError* error)
{
    if (!staged.Create(name.c_str(), WeModel::FileType, true))
    {
        *error = {source, 0, "cannot create the member " + name};
        return false;
    }
    std::string reason;
    bool ok = WriteFile(*staged.GetStream(), data, containers, &reason);
    if (!staged.EndCreate() && ok)
    {
        reason = "cannot finish the member " + name;
        ok = false;
    }
    if (!ok)
        *error = {source, 0, reason};
    return ok;
}
