#include "Tools/mapbuilder/MapGameWriter.h"

#include <cmath>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Game/shell/CMap.h"
#include "Game/shell/CMapHeader.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CStartLocation.h"
#include "Tools/map_common/MapWriter.h"

namespace
{

bool ParseNumbers(const std::string& text, std::vector<float>& out, std::string& bad)
{
    std::istringstream words(text);
    std::string word;
    out.clear();
    while (words >> word)
    {
        std::istringstream in(word);
        in.imbue(std::locale::classic());
        double value = 0.0;
        in >> value;
        if (in.fail() || !in.eof() || !std::isfinite(value))
        {
            bad = word;
            return false;
        }
        out.push_back(static_cast<float>(value));
    }
    return true;
}

bool WriteGameHeader(WeFileStream& stream, const MapDescription& map, const std::string& fileName, std::string& error)
{
    // An engine fixture has no header.
    if (!map.gameMap)
        return true;
    CMap owner;
    if (!MapGameWriter::FillHeader(map, fileName, owner.m_Header, owner.m_PortalsEnabled, owner.m_EditorDistance1,
                                   owner.m_EditorDistance2, error))
        return false;
    owner.m_Header.Write(stream);
    return true;
}

WeActor* MakeStartLocation(int32_t index)
{
    CStartLocation* start = new CStartLocation();
    start->m_StartIndex = index;
    return start;
}

int32_t FindPickupKind(const std::string& kind)
{
    if (const int32_t named = FindPickupTypeByName(kind.c_str()))
        return named;
    char* end = nullptr;
    const long id = std::strtol(kind.c_str(), &end, 10);
    return end != kind.c_str() && *end == '\0' && IsPickupType(static_cast<int32_t>(id)) ? static_cast<int32_t>(id) : 0;
}

WeActor* MakePickup(int32_t type, bool random)
{
    CPickup* pickup = g_PickupFactory.Create(type);
    if (pickup != nullptr)
        pickup->m_Random = random && IsWeaponOrMinePickup(type);
    return pickup;
}

}  // namespace

void MapGameWriter::Register()
{
    SetMapHeaderWriter(WriteGameHeader);
    MapActorMakers makers;
    makers.startLocation = MakeStartLocation;
    makers.pickupType = FindPickupKind;
    makers.pickup = MakePickup;
    SetMapActorMakers(&makers);
}

void MapGameWriter::Unregister()
{
    SetMapHeaderWriter(nullptr);
    SetMapActorMakers(nullptr);
}

bool MapGameWriter::FillHeader(const MapDescription& map, const std::string& fileName, CMapHeader& h, bool& portals,
                               float& distance1, float& distance2, std::string& error)
{
    // What a shipped map writes where its description says nothing: the world's values of decision, the
    // final pass's identity, the header's defaults otherwise.
    portals = true;
    distance1 = 500.0f;
    distance2 = 1000.0f;
    for (const MapHeaderField& f : map.headerFields)
    {
        const auto fail = [&](const std::string& message)
        {
            error = fileName + ":" + std::to_string(f.line) + ": " + message;
            return false;
        };
        const auto text = [&](WeString& to)
        {
            if (f.value.empty())
                return fail(f.key + " needs a text");
            to = f.value.c_str();
            return true;
        };
        std::vector<float> v;
        std::string bad;
        const auto numbers = [&](size_t count, const char* usage)
        {
            if (!ParseNumbers(f.value, v, bad))
                return fail("not a number: " + bad);
            if (v.size() != count)
                return fail(std::string("expected: ") + usage);
            return true;
        };
        bool ok = true;
        if (f.key == "name")
            ok = text(h.m_DisplayName);
        else if (f.key == "description")
            ok = text(h.m_Description);
        else if (f.key == "preview")
            ok = text(h.m_PreviewTexture);
        else if (f.key == "loading")
            ok = text(h.m_LoadingTexture);
        else if (f.key == "text5")
            ok = text(h.m_Text5);
        else if (f.key == "ambient")
        {
            ok = numbers(4, "ambient <r> <g> <b> <a>");
            for (size_t i = 0; ok && i < 4; ++i)
                h.m_AmbientColor[i] = v[i];
        }
        else if (f.key == "fog")
        {
            ok = numbers(9, "fog <on> <start> <end> <min> <max> <r> <g> <b> <a>");
            if (ok && v[0] != 0.0f && v[0] != 1.0f)
                ok = fail("fog is on 0 or 1");
            if (ok)
            {
                h.m_FogOn = v[0] != 0.0f;
                h.m_FogStart = v[1];
                h.m_FogEnd = v[2];
                h.m_FogValue3 = v[3];
                h.m_FogValue4 = v[4];
                for (size_t i = 0; i < 4; ++i)
                    h.m_FogColor[i] = v[5 + i];
            }
        }
        else if (f.key == "scale")
        {
            ok = numbers(1, "scale <s>");
            if (ok && v[0] < 1.0f)
                ok = fail("the world scale is at least 1");
            if (ok)
                h.m_WorldScale = v[0];
        }
        else if (f.key == "far")
        {
            ok = numbers(1, "far <d>");
            if (ok)
                h.m_FarValue = v[0];
        }
        else if (f.key == "valuea")
        {
            ok = numbers(1, "valuea <v>");
            if (ok)
                h.m_ValueA = v[0];
        }
        else if (f.key == "bloom")
        {
            ok = numbers(3, "bloom <low> <normal> <high>");
            for (size_t i = 0; ok && i < 3; ++i)
                h.m_BloomLevels[i] = v[i];
        }
        else if (f.key == "renderer")
        {
            ok = numbers(2, "renderer <v1> <v2>");
            if (ok)
            {
                h.m_RendererValues[0] = v[0];
                h.m_RendererValues[1] = v[1];
            }
        }
        else if (f.key == "world")
        {
            ok = numbers(3, "world <flag> <value1> <value2>");
            if (ok && v[0] != 0.0f && v[0] != 1.0f)
                ok = fail("the world's flag is 0 or 1");
            if (ok)
            {
                portals = v[0] != 0.0f;
                distance1 = v[1];
                distance2 = v[2];
            }
        }
        else
            ok = fail("unknown header field: " + f.key);
        if (!ok)
            return false;
    }
    return true;
}
