#include "Tools/content/ContentModelSource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <map>
#include <sstream>

#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXQuaternionFunctions.h"
#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentMeshGenerator.h"
#include "Tools/content/ContentMeshWriter.h"

namespace
{

constexpr float DegreesToRadians = 3.14159265358979323846f / 180.0f;

bool ParseFloat(const std::string& text, float* out)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float value = 0.0f;
    in >> value;
    if (in.fail() || !in.eof() || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

bool ParseVector(const std::string& text, D3DXVECTOR3* out)
{
    float v[3];
    size_t start = 0;
    for (int i = 0; i < 3; ++i)
    {
        size_t comma = text.find(',', start);
        if ((i < 2) != (comma != std::string::npos))
            return false;
        if (!ParseFloat(text.substr(start, i < 2 ? comma - start : std::string::npos), &v[i]))
            return false;
        start = comma + 1;
    }
    *out = D3DXVECTOR3(v[0], v[1], v[2]);
    return true;
}

bool ParseTick(const std::string& text, uint32_t* out)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *out = uint32_t(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

D3DXQUATERNION RotationOf(const D3DXVECTOR3& degrees)
{
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, degrees.x * DegreesToRadians, degrees.y * DegreesToRadians,
                                       degrees.z * DegreesToRadians);
    return q;
}

}  // namespace

bool ContentModelSource::Parse(const std::string& path, const std::string& text, Description* out, ContentError* error)
{
    ContentIniReader reader(path, text);
    ContentIniLine line;
    enum
    {
        None,
        InModel,
        InFrame,
        InAnimation
    } section = None;
    bool sawModel = false;
    std::map<std::string, int> frameLines;
    while (reader.Next(&line))
    {
        if (line.isSection)
        {
            const std::string& s = line.section;
            if (s == "Model")
            {
                if (sawModel)
                {
                    reader.Fail(line.number, "a second [Model] section");
                    break;
                }
                sawModel = true;
                section = InModel;
            }
            else if (s.rfind("Frame ", 0) == 0 && s.size() > 6)
            {
                Frame frame;
                frame.name = s.substr(6);
                frame.line = line.number;
                if (!frameLines.emplace(frame.name, line.number).second)
                {
                    reader.Fail(line.number, "frame " + frame.name + " is described twice");
                    break;
                }
                out->frames.push_back(frame);
                section = InFrame;
            }
            else if (s.rfind("Animation ", 0) == 0 && s.size() > 10)
            {
                out->sets.push_back({s.substr(10), {}});
                section = InAnimation;
            }
            else
            {
                reader.Fail(line.number, "unknown section [" + s + "]");
                break;
            }
            continue;
        }
        const std::string& key = line.key;
        const std::string& value = line.value;
        if (section == InModel)
        {
            uint32_t ticks = 0;
            if (key != "ticks")
                reader.Fail(line.number, "unknown key " + key);
            else if (!ParseTick(value, &ticks) || ticks == 0)
                reader.Fail(line.number, "ticks=<ticks per second above 0>");
            else
                out->ticksPerSecond = ticks;
        }
        else if (section == InFrame)
        {
            Frame& frame = out->frames.back();
            if (key == "parent")
                frame.parent = value;
            else if (key == "position" && !ParseVector(value, &frame.position))
                reader.Fail(line.number, "position=<x>,<y>,<z>");
            else if (key == "rotation" && !ParseVector(value, &frame.rotation))
                reader.Fail(line.number, "rotation=<yaw>,<pitch>,<roll> in degrees");
            else if (key == "scale" && !ParseVector(value, &frame.scale))
                reader.Fail(line.number, "scale=<x>,<y>,<z>");
            else if (key == "mesh")
                frame.mesh = value;
            else if (key != "parent" && key != "position" && key != "rotation" && key != "scale")
                reader.Fail(line.number, "unknown key " + key);
        }
        else if (section == InAnimation)
        {
            size_t dot = key.rfind('.');
            Track track;
            track.line = line.number;
            track.frame = dot == std::string::npos ? "" : key.substr(0, dot);
            std::string channel = dot == std::string::npos ? "" : key.substr(dot + 1);
            if (channel == "rotation")
                track.channel = Rotation;
            else if (channel == "position")
                track.channel = Position;
            else if (channel == "scale")
                track.channel = Scale;
            else
            {
                reader.Fail(line.number, "expected <frame>.rotation, <frame>.position or <frame>.scale");
                break;
            }
            std::istringstream keys(value);
            std::string one;
            while (std::getline(keys, one, ' '))
            {
                size_t colon = one.find(':');
                Key k;
                if (colon == std::string::npos || !ParseTick(one.substr(0, colon), &k.time) ||
                    !ParseVector(one.substr(colon + 1), &k.value))
                {
                    reader.Fail(line.number, "a key is <tick>:<x>,<y>,<z>, keys separated by one blank");
                    break;
                }
                if (!track.keys.empty() && k.time <= track.keys.back().time)
                {
                    reader.Fail(line.number, "key times must rise");
                    break;
                }
                track.keys.push_back(k);
            }
            if (!reader.Failed() && track.keys.empty())
                reader.Fail(line.number, "a track without keys");
            for (const Track& other : out->sets.back().tracks)
                if (!reader.Failed() && other.frame == track.frame && other.channel == track.channel)
                    reader.Fail(line.number, key + " is given twice in the set");
            out->sets.back().tracks.push_back(track);
        }
        else
            reader.Fail(line.number, "a key outside every section");
        if (reader.Failed())
            break;
    }
    if (!reader.Failed() && !sawModel)
        reader.Fail(0, "no [Model] section");
    if (!reader.Failed() && out->frames.empty())
        reader.Fail(0, "no [Frame <name>] section");
    for (const Frame& frame : out->frames)
    {
        if (reader.Failed())
            break;
        if (!frame.parent.empty() && frameLines.count(frame.parent) == 0)
            reader.Fail(frame.line, "frame " + frame.name + ": no parent frame " + frame.parent);
        else if (frame.parent == frame.name)
            reader.Fail(frame.line, "frame " + frame.name + " is its own parent");
    }
    for (const AnimationSet& set : out->sets)
        for (const Track& track : set.tracks)
            if (!reader.Failed() && frameLines.count(track.frame) == 0)
                reader.Fail(track.line, "no frame " + track.frame);
    if (reader.Failed())
    {
        *error = reader.Error();
        return false;
    }
    return true;
}

bool ContentModelSource::Build(const std::string& path, const Description& d, const MeshSource& meshes, XFileData* data,
                               std::vector<ContentModelWriter::Container>* containers, ContentError* error)
{
    *data = XFileData();
    data->ticksPerSecond = d.ticksPerSecond;
    // Frames nest under their parents in file order; a parent chain that loops never reaches the top.
    std::map<const Frame*, ContentModelWriter::Container> names;
    std::function<bool(const std::string&, std::vector<XFileFrame>*, int)> place =
        [&](const std::string& parent, std::vector<XFileFrame>* into, int depth) -> bool
    {
        for (const Frame& f : d.frames)
        {
            if (f.parent != parent)
                continue;
            if (depth > 64)
            {
                *error = {path, f.line, "frame " + f.name + ": the parents loop or nest deeper than 64"};
                return false;
            }
            XFileFrame frame;
            frame.name = f.name;
            D3DXMATRIX scale, rotation, translation;
            D3DXMatrixScaling(&scale, f.scale.x, f.scale.y, f.scale.z);
            D3DXMatrixRotationYawPitchRoll(&rotation, f.rotation.x * DegreesToRadians, f.rotation.y * DegreesToRadians,
                                           f.rotation.z * DegreesToRadians);
            D3DXMatrixTranslation(&translation, f.position.x, f.position.y, f.position.z);
            frame.transform = scale * rotation * translation;
            if (!f.mesh.empty())
            {
                XFileMesh mesh;
                std::string reason;
                if (!meshes(f.mesh, &mesh, &names[&f], &reason))
                {
                    *error = {path, f.line, "frame " + f.name + ": mesh " + f.mesh + ": " + reason};
                    return false;
                }
                frame.meshes.push_back(std::move(mesh));
            }
            into->push_back(std::move(frame));
            if (!place(f.name, &into->back().children, depth + 1))
                return false;
        }
        return true;
    };
    if (!place("", &data->frames, 0))
        return false;
    size_t placed = 0;
    std::function<void(const std::vector<XFileFrame>&)> count = [&](const std::vector<XFileFrame>& frames)
    {
        placed += frames.size();
        for (const XFileFrame& f : frames)
            count(f.children);
    };
    count(data->frames);
    if (placed != d.frames.size())
    {
        *error = {path, 0, "the frames' parents loop: some frames never reach a top-level frame"};
        return false;
    }

    for (const AnimationSet& set : d.sets)
    {
        XFileAnimationSet out;
        out.name = set.name;
        // One animation per frame, with every channel the set gives it.
        for (const Track& track : set.tracks)
        {
            XFileAnimation* animation = nullptr;
            for (XFileAnimation& a : out.animations)
                if (a.frame == track.frame)
                    animation = &a;
            if (animation == nullptr)
            {
                out.animations.push_back({});
                animation = &out.animations.back();
                animation->frame = track.frame;
            }
            for (const Key& key : track.keys)
            {
                if (track.channel == Rotation)
                    animation->rotations.push_back({key.time, RotationOf(key.value)});
                else if (track.channel == Position)
                    animation->positions.push_back({key.time, key.value});
                else
                    animation->scales.push_back({key.time, key.value});
            }
        }
        data->animationSets.push_back(std::move(out));
    }

    // The names in the order the reader takes the containers.
    containers->clear();
    std::map<const XFileMesh*, const Frame*> owner;
    std::function<void(const std::vector<XFileFrame>&)> own = [&](const std::vector<XFileFrame>& frames)
    {
        for (const XFileFrame& f : frames)
        {
            for (const Frame& source : d.frames)
                if (source.name == f.name && !f.meshes.empty())
                    owner[&f.meshes.front()] = &source;
            own(f.children);
        }
    };
    own(data->frames);
    for (const XFileMesh* mesh : ContentModelWriter::ContainerOrder(*data))
        containers->push_back(names[owner[mesh]]);
    return true;
}

bool ContentModelSource::MeshFromGeometry(const ContentMeshDescription& description,
                                          const ContentMeshGeometry& geometry, XFileMesh* out,
                                          ContentModelWriter::Container* names, std::string* error)
{
    std::vector<const ContentMeshSubset*> subsets;
    for (const ContentMeshSubset& s : description.subsets)
        subsets.push_back(&s);
    std::sort(subsets.begin(), subsets.end(),
              [](const ContentMeshSubset* a, const ContentMeshSubset* b) { return a->id < b->id; });
    // Subset k of the container is the k-th material of the .x mesh: its faces get attribute id k.
    std::map<int32_t, uint32_t> index;
    for (size_t k = 0; k < subsets.size(); ++k)
        index[subsets[k]->id] = uint32_t(k);
    std::vector<bool> used(subsets.size(), false);
    *out = XFileMesh();
    for (const ContentMeshVertex& v : geometry.vertices)
    {
        out->positions.push_back(v.position);
        out->normals.push_back(v.normal);
        out->uvs.push_back(v.uv0);
    }
    for (const ContentMeshFace& f : geometry.faces)
    {
        auto found = index.find(f.subset);
        if (found == index.end())
        {
            *error = "faces of subset " + std::to_string(f.subset) + " without a [Subset] section";
            return false;
        }
        used[found->second] = true;
        out->faces.push_back({f.index[0], f.index[1], f.index[2]});
        out->faceMaterials.push_back(found->second);
    }
    out->normalFaces = out->faces;
    for (size_t k = 0; k < subsets.size(); ++k)
    {
        if (!used[k])
        {
            *error = "[Subset " + std::to_string(subsets[k]->id) + "] has no faces";
            return false;
        }
        out->materials.push_back(XFileMaterial());
        for (int p = 0; p < ContentModelWriter::Presets; ++p)
        {
            const std::string& name = subsets[k]->materials[p];
            if (!name.empty())
                names->names[size_t(p)].push_back(name);
        }
    }
    // A preset that names only some subsets takes preset 0's names for all of them.
    for (int p = 1; p < ContentModelWriter::Presets; ++p)
    {
        std::vector<std::string>& preset = names->names[size_t(p)];
        if (preset.empty())
            continue;
        preset.clear();
        for (const ContentMeshSubset* s : subsets)
            preset.push_back(s->materials[p].empty() ? s->materials[0] : s->materials[p]);
    }
    return true;
}

bool ContentModelSource::Write(const std::string& path, const std::string& assets, const std::string& name,
                               WeVirtualFileSystem& staged, ContentError* error)
{
    std::string text;
    if (!ContentIniReader::ReadFile(path, &text, error))
        return false;
    Description d;
    if (!Parse(path, text, &d, error))
        return false;
    int meshNumber = 0;
    MeshSource meshes = [&](const std::string& mesh, XFileMesh* out, ContentModelWriter::Container* names,
                            std::string* reason) -> bool
    {
        // Package.Folder.File names Assets/Package/Folder/File.msh.
        std::string file = mesh;
        std::replace(file.begin(), file.end(), '.', '/');
        const std::string source = assets + "/" + file + ".msh";
        std::string meshText;
        ContentError meshError;
        ContentMeshDescription description;
        ContentMeshGeometry geometry;
        if (std::count(mesh.begin(), mesh.end(), '.') != 2 ||
            !ContentIniReader::ReadFile(source, &meshText, &meshError))
        {
            *reason = "no mesh description " + source;
            return false;
        }
        if (!ContentMeshWriter::Parse(source, meshText, &description, &meshError) ||
            !ContentMeshWriter::ResolveCopies(source, assets, &description, &meshError))
        {
            *reason = meshError.Text();
            return false;
        }
        if (!ContentMeshGenerator::Generate(description, &geometry, reason) ||
            !MeshFromGeometry(description, geometry, out, names, reason))
            return false;
        out->name = "Mesh" + std::to_string(meshNumber++);
        return true;
    };
    XFileData data;
    std::vector<ContentModelWriter::Container> containers;
    if (!Build(path, d, meshes, &data, &containers, error))
        return false;
    return ContentModelWriter::WriteMember(path, name, data, containers, staged, error);
}
