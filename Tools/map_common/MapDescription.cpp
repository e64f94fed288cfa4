#include "Tools/map_common/MapDescription.h"

#include <cctype>
#include <locale>
#include <sstream>

#include "Tools/vfx/VfxFields.h"

namespace
{

// Numbers in the C locale whatever the process locale: strtod is only trusted on plain digits.
bool ParseFloat(const std::string& word, float& out)
{
    if (word.empty())
        return false;
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    if (in.fail() || !in.eof())
        return false;
    out = static_cast<float>(value);
    return true;
}

bool ParseInt(const std::string& word, int32_t& out)
{
    float value = 0.0f;
    if (!ParseFloat(word, value) || value != static_cast<float>(static_cast<int32_t>(value)))
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

class Parser
{
public:
    Parser(const std::string& fileName, MapDescription& out) : m_File(fileName), m_Out(out) {}

    bool Fail(const std::string& message)
    {
        m_Error = m_File + ":" + std::to_string(m_Line) + ": " + message;
        return false;
    }

    bool Words(const std::vector<std::string>& w, size_t least, size_t most, const char* usage)
    {
        if (w.size() < least || w.size() > most)
            return Fail(std::string("expected: ") + usage);
        return true;
    }

    bool Number(const std::string& word, float& out)
    {
        if (!ParseFloat(word, out))
            return Fail("not a number: " + word);
        return true;
    }

    bool Integer(const std::string& word, int32_t& out)
    {
        if (!ParseInt(word, out))
            return Fail("not a whole number: " + word);
        return true;
    }

    bool Line(const std::vector<std::string>& w)
    {
        const std::string& key = w[0];
        if (m_Effect)
            return EffectLine(w);
        if (m_InHeader)
            return HeaderLine(w);
        if (m_Current)
        {
            if (key == "point")
            {
                if (!Words(w, 4, 5, "point <x> <y> <z> [bank]"))
                    return false;
                MapControlPoint p;
                if (!Number(w[1], p.position.x) || !Number(w[2], p.position.y) || !Number(w[3], p.position.z))
                    return false;
                if (w.size() == 5 && !Number(w[4], p.bank))
                    return false;
                m_Current->points.push_back(p);
                return true;
            }
            if (key == "checkpoint")
            {
                if (!Words(w, 1, 1, "checkpoint"))
                    return false;
                if (m_Current->points.empty())
                    return Fail("a checkpoint follows the point it marks");
                m_Current->checkpoints.push_back(m_Current->points.size() - 1);
                return true;
            }
            if (key == "hold" || key == "healing" || key == "effect")
            {
                if (!Words(w, 2, 2, (key + " <value>").c_str()))
                    return false;
                MapNodeMark<float>& mark =
                    key == "hold" ? m_Current->hold : (key == "healing" ? m_Current->healing : m_Current->effect);
                if (!Number(w[1], mark.value))
                    return false;
                if (key != "effect" && mark.value < 0.0f)
                    return Fail(key + " is not negative");
                mark.set = true;
                return true;
            }
            if (key == "headlights" || key == "zone")
            {
                if (!Words(w, 2, 2, (key + " 0|1").c_str()))
                    return false;
                if (w[1] != "0" && w[1] != "1")
                    return Fail(key + " is 0 or 1");
                MapNodeMark<bool>& mark = key == "zone" ? m_Current->zone : m_Current->headlights;
                mark.set = true;
                mark.value = w[1] == "1";
                return true;
            }
            if (key == "jump")
            {
                // Only a fork's branch jumps inside itself; the loop's sections jump with `section jump`.
                if (!Words(w, 1, 1, "jump"))
                    return false;
                if (!m_InFork)
                    return Fail("a jump inside a section belongs to a fork's branch; use section jump");
                if (m_Current->gapAt != 0)
                    return Fail("a branch has one jump");
                if (m_Current->points.size() < 2)
                    return Fail("a branch's jump needs two points before it");
                m_Current->gapAt = m_Current->points.size();
                m_Current->gapLine = m_Line;
                return true;
            }
            if (key == "end")
            {
                if (m_Current->gapAt != 0 && m_Current->points.size() < m_Current->gapAt + 2)
                    return Fail("a branch's jump needs two points after it");
                if (m_Current->points.size() < 2)
                    return Fail("a section needs at least two points");
                m_Current = nullptr;
                return true;
            }
            return Fail("unknown word in a section: " + key);
        }
        if (m_InFork)
        {
            if (key == "branch")
            {
                if (!Words(w, 1, 1, "branch") || m_Branches == 2)
                    return m_Error.empty() ? Fail("a fork has two branches") : false;
                m_Current = &m_Out.loop.back().branches[m_Branches++];
                m_Current->line = m_Line;
                return true;
            }
            if (key == "endfork")
            {
                if (m_Branches != 2)
                    return Fail("a fork needs two branches");
                m_InFork = false;
                return true;
            }
            return Fail("unknown word in a fork: " + key);
        }
        if (key == "map")
        {
            if (w.size() < 2)
                return Fail("expected: map <name>");
            const std::string name = Rest(w, 1);
            // Nothing that could leave the maps folder or confuse a dotted resource name's folder.
            for (char c : name)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ' && c != '(' && c != ')' && c != '_' &&
                    c != '-')
                    return Fail("a map name is letters, digits, blanks, (, ), _ and -");
            m_Out.name = name;
            m_MapLine = m_Line;
            return true;
        }
        if (key == "folder")
        {
            if (!Words(w, 2, 2, "folder <word>"))
                return false;
            for (char c : w[1])
                if (!std::isalnum(static_cast<unsigned char>(c)))
                    return Fail("a folder is letters and digits");
            m_Out.folder = w[1];
            return true;
        }
        if (key == "pickup")
            return Pickup(w);
        if (key == "plan")
        {
            if (!Words(w, 3, 3, "plan preview|loading <W>x<H>"))
                return false;
            if (w[1] != "preview" && w[1] != "loading")
                return Fail("a plan is painted into preview or loading");
            MapPlan plan;
            plan.field = w[1];
            plan.line = m_Line;
            const size_t x = w[2].find('x');
            if (x == std::string::npos || !ParseInt(w[2].substr(0, x), plan.width) ||
                !ParseInt(w[2].substr(x + 1), plan.height) || plan.width < 16 || plan.height < 16 ||
                plan.width > 2048 || plan.height > 2048)
                return Fail("a plan's size is <W>x<H>, 16 to 2048 each: " + w[2]);
            m_Out.plans.push_back(plan);
            return true;
        }
        if (key == "sky")
            return Words(w, 3, 3, "sky <model> <mode>") && (m_Out.skyModel = w[1], true) &&
                   Integer(w[2], m_Out.skyMode) &&
                   ((m_Out.skyMode == 0 || m_Out.skyMode == 1) ? true : Fail("sky mode is 0 or 1"));
        if (key == "profile")
        {
            if (!Words(w, 4, 4, "profile channel|tube <width> <wall height>"))
                return false;
            if (w[1] != "channel" && w[1] != "tube")
                return Fail("unknown profile: " + w[1]);
            m_Out.profile = w[1];
            return Number(w[2], m_Out.roadWidth) && Number(w[3], m_Out.wallHeight) &&
                   (m_Out.roadWidth > 0.0f ? true : Fail("the road needs a width"));
        }
        if (key == "step")
            return Words(w, 2, 2, "step <metres>") && Number(w[1], m_Out.step) &&
                   (m_Out.step >= 0.1f ? true : Fail("the step is at least 0.1"));
        if (key == "segment")
            return Words(w, 2, 2, "segment <metres>") && Number(w[1], m_Out.segmentLength) &&
                   (m_Out.segmentLength >= 1.0f ? true : Fail("a segment is at least 1 long"));
        if (key == "materials")
            return Words(w, 3, 3, "materials <road> <wall>") && (m_Out.roadMaterial = w[1], true) &&
                   (m_Out.wallMaterial = w[2], true);
        if (key == "nodes")
            return Words(w, 3, 3, "nodes <spacing> <lift>") && Number(w[1], m_Out.nodeSpacing) &&
                   Number(w[2], m_Out.nodeLift) &&
                   (m_Out.nodeSpacing >= 1.0f ? true : Fail("the node spacing is at least 1"));
        if (key == "checkpoints")
            return Words(w, 2, 2, "checkpoints <count>") && Integer(w[1], m_Out.checkpointCount) &&
                   ((m_Out.checkpointCount >= 1 && m_Out.checkpointCount <= 100) ? true : Fail("1 to 100 checkpoints"));
        if (key == "starts")
            return Words(w, 3, 3, "starts <count> <spacing>") && Integer(w[1], m_Out.startCount) &&
                   Number(w[2], m_Out.startSpacing) &&
                   ((m_Out.startCount >= 0 && m_Out.startCount <= 64) ? true : Fail("0 to 64 start locations"));
        if (key == "section")
        {
            if (!Words(w, 1, 2, "section [jump]"))
                return false;
            if (w.size() == 2 && w[1] != "jump")
                return Fail("unknown word after section: " + w[1]);
            m_Out.loop.emplace_back();
            m_Out.loop.back().line = m_Line;
            m_Current = &m_Out.loop.back().section;
            m_Current->jumpBefore = w.size() == 2;
            m_Current->line = m_Line;
            return true;
        }
        if (key == "fork")
        {
            if (!Words(w, 1, 1, "fork"))
                return false;
            m_Out.loop.emplace_back();
            m_Out.loop.back().isFork = true;
            m_Out.loop.back().line = m_Line;
            m_InFork = true;
            m_Branches = 0;
            return true;
        }
        if (key == "actor")
            return Actor(w);
        if (key == "light" || key == "particles")
            return BeginEffect(w);
        if (key == "portal")
            return Portal(w);
        if (key == "header" && w.size() == 1)
        {
            if (m_Out.gameMap)
                return Fail("a map has one header block");
            m_Out.gameMap = true;
            m_Out.headerLine = m_Line;
            m_InHeader = true;
            return true;
        }
        if (key == "header")
        {
            if (!Words(w, 3, 3, "header <key> <value>"))
                return false;
            m_Out.header.emplace_back(w[1], w[2]);
            return true;
        }
        return Fail("unknown word: " + key);
    }

    static std::string Rest(const std::vector<std::string>& w, size_t from)
    {
        std::string text;
        for (size_t i = from; i < w.size(); ++i)
            text += (i > from ? " " : "") + w[i];
        return text;
    }

    // The header block's fields are checked by the game's writer, which knows them; here only their shape.
    bool HeaderLine(const std::vector<std::string>& w)
    {
        if (w[0] == "end")
        {
            if (w.size() != 1)
                return Fail("expected: end");
            m_InHeader = false;
            return true;
        }
        m_Out.headerFields.push_back({w[0], Rest(w, 1), m_Line});
        return true;
    }

    // pickup <kind> at <metres> [side <m>] [random] / pickup <kind> <x> <y> <z> [random]
    bool Pickup(const std::vector<std::string>& w)
    {
        const char* usage = "expected: pickup <kind> at <metres> [side <m>] [random] or pickup <kind> <x> <y> <z> "
                            "[random]";
        if (w.size() < 4)
            return Fail(usage);
        MapPickup p;
        p.kind = w[1];
        p.line = m_Line;
        size_t i = 2;
        if (w[2] == "at")
        {
            if (!Number(w[3], p.distance))
                return false;
            if (p.distance < 0.0f)
                return Fail("a pickup's distance is not negative");
            i = 4;
            if (i < w.size() && w[i] == "side")
            {
                if (i + 1 >= w.size())
                    return Fail("missing value after side");
                if (!Number(w[i + 1], p.side))
                    return false;
                i += 2;
            }
        }
        else
        {
            if (w.size() < 5)
                return Fail(usage);
            p.atDistance = false;
            if (!Number(w[2], p.position.x) || !Number(w[3], p.position.y) || !Number(w[4], p.position.z))
                return false;
            i = 5;
        }
        if (i < w.size() && w[i] == "random")
        {
            p.random = true;
            ++i;
        }
        if (i != w.size())
            return Fail("unknown pickup field: " + w[i]);
        m_Out.pickups.push_back(p);
        return true;
    }

    bool Actor(const std::vector<std::string>& w)
    {
        if (w.size() < 6 || w[1] != "plain")
            return Fail("expected: actor plain <model> <x> <y> <z> [class n] [group n] [scale s] [label t] "
                        "[teleport target]");
        MapExtraActor a;
        a.kind = w[1];
        a.model = w[2];
        a.line = m_Line;
        if (!Number(w[3], a.position.x) || !Number(w[4], a.position.y) || !Number(w[5], a.position.z))
            return false;
        for (size_t i = 6; i < w.size(); i += 2)
        {
            if (i + 1 >= w.size())
                return Fail("missing value after " + w[i]);
            const std::string& v = w[i + 1];
            if (w[i] == "class")
            {
                if (!Integer(v, a.physicsClass))
                    return false;
                if (a.physicsClass < 0 || a.physicsClass > 9)
                    return Fail("physics class 0 to 9");
            }
            else if (w[i] == "group")
            {
                if (!Integer(v, a.group))
                    return false;
            }
            else if (w[i] == "scale")
            {
                float s = 1.0f;
                if (!Number(v, s))
                    return false;
                a.scale = D3DXVECTOR3(s, s, s);
            }
            else if (w[i] == "label")
                a.label = v;
            else if (w[i] == "teleport")
            {
                a.teleporter = true;
                a.teleportTarget = v;
            }
            else
                return Fail("unknown actor field: " + w[i]);
        }
        m_Out.actors.push_back(a);
        return true;
    }

    // light <x> <y> <z> [yaw d] [label t] / particles <x> <y> <z> [yaw d] [definition NAME] [label t]
    bool BeginEffect(const std::vector<std::string>& w)
    {
        MapEffectActor e;
        e.kind = w[0];
        e.line = m_Line;
        if (w.size() < 4)
            return Fail("expected: " + w[0] + " <x> <y> <z> [yaw d] [label t]" +
                        (w[0] == "particles" ? " [definition name]" : "") + ", then its fields and end");
        if (!Number(w[1], e.position.x) || !Number(w[2], e.position.y) || !Number(w[3], e.position.z))
            return false;
        for (size_t i = 4; i < w.size(); i += 2)
        {
            if (i + 1 >= w.size())
                return Fail("missing value after " + w[i]);
            if (w[i] == "yaw")
            {
                if (!Number(w[i + 1], e.yaw))
                    return false;
            }
            else if (w[i] == "label")
                e.label = w[i + 1];
            else if (w[i] == "definition" && e.kind == "particles")
                e.definition = w[i + 1];
            else
                return Fail("unknown " + e.kind + " field: " + w[i]);
        }
        m_Out.effects.push_back(e);
        m_Effect = &m_Out.effects.back();
        m_Sub = 0;
        return true;
    }

    // Inside a block: the fields of the light or system; "keyframe" or "emitter" starts a new one whose
    // fields follow. Each field is checked on a scratch actor now, so a bad one names its line.
    bool EffectLine(const std::vector<std::string>& w)
    {
        const std::string& key = w[0];
        if (key == "end")
        {
            if (w.size() != 1)
                return Fail("expected: end");
            m_Effect = nullptr;
            return true;
        }
        const bool light = m_Effect->kind == "light";
        const std::string sub = light ? "keyframe" : "emitter";
        const std::vector<std::string> value(w.begin() + 1, w.end());
        std::string message;
        bool ok = true;
        if (key == sub)
        {
            if (w.size() != 1)
                return Fail("expected: " + sub);
            if (++m_Sub > (light ? VfxFields::MaxKeyFrames : VfxFields::MaxEmitters))
                return Fail("too many " + sub + "s");
        }
        else if (light ? VfxFields::IsKeyFrameField(key) : VfxFields::IsEmitterField(key))
        {
            if (m_Sub == 0)
                return Fail(key + " belongs to a " + sub + ": start one first");
            if (light)
            {
                WeLightParams frame;
                ok = VfxFields::ApplyKeyFrame(frame, key, value, message);
            }
            else
            {
                WeParticleEmitter emitter;
                ok = VfxFields::ApplyEmitter(emitter, key, value, message);
            }
        }
        else if (light)
        {
            WeLight scratch;
            ok = VfxFields::ApplyLight(scratch, key, value, message);
        }
        else
        {
            WeNewParticleSystem scratch;
            ok = VfxFields::ApplySystem(scratch, key, value, message);
        }
        if (!ok)
            return Fail(message);
        m_Effect->fields.push_back({key, value, m_Line});
        return true;
    }

    // portal <x> <y> <z> <yaw> <width> <height> [active 0|1] [limited 0|1] [reach <front> <back>] [label t]
    bool Portal(const std::vector<std::string>& w)
    {
        MapEffectActor p;
        p.kind = "portal";
        p.line = m_Line;
        if (w.size() < 7)
            return Fail("expected: portal <x> <y> <z> <yaw> <width> <height> [active 0|1] [limited 0|1] "
                        "[reach <front> <back>] [label t]");
        if (!Number(w[1], p.position.x) || !Number(w[2], p.position.y) || !Number(w[3], p.position.z) ||
            !Number(w[4], p.yaw) || !Number(w[5], p.width) || !Number(w[6], p.height))
            return false;
        if (p.width <= 0.0f || p.height <= 0.0f)
            return Fail("a portal needs a width and a height");
        for (size_t i = 7; i < w.size();)
        {
            const std::string& field = w[i];
            const size_t need = field == "reach" ? 2 : 1;
            if (i + need >= w.size())
                return Fail("missing value after " + field);
            if (field == "active" || field == "limited")
            {
                if (w[i + 1] != "0" && w[i + 1] != "1")
                    return Fail(field + " is 0 or 1");
                (field == "active" ? p.active : p.limitedReach) = w[i + 1] == "1";
            }
            else if (field == "reach")
            {
                if (!Number(w[i + 1], p.frontReach) || !Number(w[i + 2], p.backReach))
                    return false;
            }
            else if (field == "label")
                p.label = w[i + 1];
            else
                return Fail("unknown portal field: " + field);
            i += need + 1;
        }
        m_Out.effects.push_back(p);
        return true;
    }

    bool Finish()
    {
        if (m_Effect)
        {
            m_Line = m_Effect->line;
            return Fail("missing end of a " + m_Effect->kind + " block");
        }
        if (m_InHeader)
        {
            m_Line = m_Out.headerLine;
            return Fail("missing end of the header block");
        }
        if (m_Current || m_InFork)
            return Fail("missing end of a section or fork");
        if (m_Out.name.empty())
            return Fail("missing map name");
        for (char c : m_Out.name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && m_Out.folder.empty())
            {
                m_Line = m_MapLine;
                return Fail("a map name that is not letters and digits needs a folder");
            }
        if (!m_Out.gameMap && (!m_Out.pickups.empty() || !m_Out.plans.empty()))
        {
            m_Line = !m_Out.pickups.empty() ? m_Out.pickups.front().line : m_Out.plans.front().line;
            return Fail("pickups and plans belong to a game map: it needs a header block");
        }
        int sections = 0;
        for (size_t i = 0; i < m_Out.loop.size(); ++i)
        {
            const MapLoopItem& item = m_Out.loop[i];
            if (!item.isFork)
            {
                ++sections;
                continue;
            }
            m_Line = item.line;
            const size_t n = m_Out.loop.size();
            const MapLoopItem& before = m_Out.loop[(i + n - 1) % n];
            const MapLoopItem& after = m_Out.loop[(i + 1) % n];
            if (before.isFork || after.isFork || after.section.jumpBefore)
                return Fail("a fork lies between two plain sections");
            if (i + 1 == n)
                return Fail("the loop cannot end with a fork");
        }
        if (sections == 0)
        {
            // A game map may be a room without a track (the shipyard's garage): plain actors, lights and
            // particle systems, and nothing that needs a road.
            if (m_Out.gameMap && m_Out.loop.empty())
            {
                if (m_Out.startCount > 0 || !m_Out.pickups.empty() || !m_Out.plans.empty())
                {
                    m_Line = m_MapLine;
                    return Fail("starts, pickups and plans need a track: a map without sections has none");
                }
                return true;
            }
            return Fail("the track needs a section");
        }
        if (m_Out.loop.front().isFork || m_Out.loop.front().section.jumpBefore)
        {
            m_Line = m_Out.loop.front().line;
            return Fail("the first section starts the track: no jump or fork before it");
        }
        return true;
    }

    int m_Line = 0;
    std::string m_Error;

private:
    std::string m_File;
    MapDescription& m_Out;
    MapSection* m_Current = nullptr;
    MapEffectActor* m_Effect = nullptr;
    int m_Sub = 0;
    bool m_InFork = false;
    bool m_InHeader = false;
    int m_Branches = 0;
    int m_MapLine = 0;
};

}  // namespace

bool ParseMapDescription(const std::string& text, const std::string& fileName, MapDescription& out, std::string& error)
{
    out = MapDescription();
    Parser parser(fileName, out);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        ++parser.m_Line;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::vector<std::string> words;
        std::string word;
        while (in >> word)
            words.push_back(word);
        if (words.empty())
            continue;
        if (!parser.Line(words))
        {
            error = parser.m_Error;
            return false;
        }
    }
    ++parser.m_Line;
    if (!parser.Finish())
    {
        error = parser.m_Error;
        return false;
    }
    return true;
}
