#include "Platform/gfx/GfxEffectText.h"

#include <cstring>
#include <sstream>

namespace {

struct Named {
  const char* name;
  int value;
};

const Named kRenderStates[] = {
    {"ZEnable", D3DRS_ZENABLE}, {"FillMode", D3DRS_FILLMODE}, {"ZWriteEnable", D3DRS_ZWRITEENABLE},
    {"AlphaTestEnable", D3DRS_ALPHATESTENABLE}, {"SrcBlend", D3DRS_SRCBLEND}, {"DestBlend", D3DRS_DESTBLEND},
    {"CullMode", D3DRS_CULLMODE}, {"ZFunc", D3DRS_ZFUNC}, {"AlphaRef", D3DRS_ALPHAREF},
    {"AlphaFunc", D3DRS_ALPHAFUNC}, {"AlphaBlendEnable", D3DRS_ALPHABLENDENABLE}, {"FogEnable", D3DRS_FOGENABLE},
    {"FogColor", D3DRS_FOGCOLOR}, {"FogTableMode", D3DRS_FOGTABLEMODE}, {"FogStart", D3DRS_FOGSTART},
    {"FogEnd", D3DRS_FOGEND}, {"FogDensity", D3DRS_FOGDENSITY},
    {"StencilEnable", D3DRS_STENCILENABLE}, {"StencilFail", D3DRS_STENCILFAIL}, {"StencilZFail", D3DRS_STENCILZFAIL},
    {"StencilPass", D3DRS_STENCILPASS}, {"StencilFunc", D3DRS_STENCILFUNC}, {"StencilRef", D3DRS_STENCILREF},
    {"StencilMask", D3DRS_STENCILMASK}, {"StencilWriteMask", D3DRS_STENCILWRITEMASK},
    {"ColorWriteEnable", D3DRS_COLORWRITEENABLE}, {"BlendOp", D3DRS_BLENDOP},
    {"ScissorTestEnable", D3DRS_SCISSORTESTENABLE}, {"DepthBias", D3DRS_DEPTHBIAS},
    {"SlopeScaleDepthBias", D3DRS_SLOPESCALEDEPTHBIAS}, {"SeparateAlphaBlendEnable", D3DRS_SEPARATEALPHABLENDENABLE},
    {"SrcBlendAlpha", D3DRS_SRCBLENDALPHA}, {"DestBlendAlpha", D3DRS_DESTBLENDALPHA},
    {"BlendOpAlpha", D3DRS_BLENDOPALPHA}, {"MultiSampleAntialias", D3DRS_MULTISAMPLEANTIALIAS},
};

const Named kSamplerStates[] = {
    {"AddressU", D3DSAMP_ADDRESSU}, {"AddressV", D3DSAMP_ADDRESSV}, {"AddressW", D3DSAMP_ADDRESSW},
    {"BorderColor", D3DSAMP_BORDERCOLOR}, {"MagFilter", D3DSAMP_MAGFILTER}, {"MinFilter", D3DSAMP_MINFILTER},
    {"MipFilter", D3DSAMP_MIPFILTER}, {"MipMapLodBias", D3DSAMP_MIPMAPLODBIAS}, {"MaxMipLevel", D3DSAMP_MAXMIPLEVEL},
    {"MaxAnisotropy", D3DSAMP_MAXANISOTROPY},
};

bool SameText(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Whole-token unsigned or signed integer; false for anything else.
bool ParseInt(const std::string& token, long long& out) {
  if (token.empty()) return false;
  std::istringstream in(token);
  in.imbue(std::locale::classic());
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    unsigned long long v = 0;
    in.ignore(2);
    in >> std::hex >> v;
    out = (long long)v;
  } else {
    in >> out;
  }
  return !in.fail() && in.peek() == EOF;
}

bool ParseFloat(const std::string& token, float& out) {
  std::istringstream in(token);
  in.imbue(std::locale::classic());
  in >> out;
  return !token.empty() && !in.fail() && in.peek() == EOF;
}

int Lookup(const Named* table, size_t count, const std::string& name) {
  for (size_t i = 0; i < count; ++i)
    if (SameText(name, table[i].name)) return table[i].value;
  long long number = 0;
  if (ParseInt(name, number) && number >= 0 && number < 256) return int(number);
  return -1;
}

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == '"') {
      size_t end = line.find('"', i + 1);
      if (end == std::string::npos) end = line.size();
      out.push_back(line.substr(i, end - i + 1));
      i = end + 1;
      continue;
    }
    size_t end = i;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
    out.push_back(line.substr(i, end - i));
    i = end;
  }
  return out;
}

bool ValidName(const std::string& name) {
  if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

// "float4[12]" and the like.
bool ParseType(const std::string& token, GfxEffectParamDef& p) {
  std::string base = token;
  size_t bracket = token.find('[');
  if (bracket != std::string::npos) {
    if (token.back() != ']') return false;
    long long n = 0;
    if (!ParseInt(token.substr(bracket + 1, token.size() - bracket - 2), n) || n < 1 || n > 4096) return false;
    p.elements = UINT(n);
    base = token.substr(0, bracket);
  }
  struct Type {
    const char* name;
    D3DXPARAMETER_TYPE type;
    D3DXPARAMETER_CLASS cls;
    UINT rows, columns;
  } types[] = {{"float", D3DXPT_FLOAT, D3DXPC_SCALAR, 1, 1},    {"float2", D3DXPT_FLOAT, D3DXPC_VECTOR, 1, 2},
               {"float3", D3DXPT_FLOAT, D3DXPC_VECTOR, 1, 3},   {"float4", D3DXPT_FLOAT, D3DXPC_VECTOR, 1, 4},
               {"float4x4", D3DXPT_FLOAT, D3DXPC_MATRIX_ROWS, 4, 4}, {"int", D3DXPT_INT, D3DXPC_SCALAR, 1, 1},
               {"bool", D3DXPT_BOOL, D3DXPC_SCALAR, 1, 1},      {"string", D3DXPT_STRING, D3DXPC_OBJECT, 1, 1},
               {"texture", D3DXPT_TEXTURE, D3DXPC_OBJECT, 1, 1}};
  for (const Type& t : types) {
    if (base == t.name) {
      p.type = t.type;
      p.cls = t.cls;
      p.rows = t.rows;
      p.columns = t.columns;
      // Arrays of strings and textures are not offered.
      return !(p.elements && (t.type == D3DXPT_STRING || t.type == D3DXPT_TEXTURE));
    }
  }
  return false;
}

// The default after '=': numbers for numeric types, one quoted text for strings.
bool ParseValue(const std::vector<std::string>& tokens, size_t first, GfxEffectParamDef& p, std::string& why) {
  if (p.type == D3DXPT_TEXTURE) {
    why = "a texture has no default";
    return false;
  }
  if (p.type == D3DXPT_STRING) {
    if (tokens.size() != first + 1 || tokens[first].size() < 2 || tokens[first].front() != '"' ||
        tokens[first].back() != '"') {
      why = "a string default is one quoted text";
      return false;
    }
    p.text = tokens[first].substr(1, tokens[first].size() - 2);
    return true;
  }
  size_t given = tokens.size() - first;
  if (given == 0 || given > p.Words()) {
    why = "expected 1 to " + std::to_string(p.Words()) + " values";
    return false;
  }
  for (size_t i = first; i < tokens.size(); ++i) {
    const std::string& t = tokens[i];
    if (p.type == D3DXPT_FLOAT) {
      float f = 0;
      if (!ParseFloat(t, f)) {
        why = "not a number: " + t;
        return false;
      }
      uint32_t bits;
      std::memcpy(&bits, &f, 4);
      p.words[i - first] = bits;
    } else if (p.type == D3DXPT_BOOL) {
      if (t == "true" || t == "1")
        p.words[i - first] = 1;
      else if (t == "false" || t == "0")
        p.words[i - first] = 0;
      else {
        why = "not a bool: " + t;
        return false;
      }
    } else {
      long long n = 0;
      if (!ParseInt(t, n)) {
        why = "not an integer: " + t;
        return false;
      }
      p.words[i - first] = uint32_t(int32_t(n));
    }
  }
  return true;
}

}  // namespace

int GfxEffectText::RenderState(const std::string& name) {
  int value = Lookup(kRenderStates, sizeof(kRenderStates) / sizeof(kRenderStates[0]), name);
  return value < WE_D3DRS_COUNT ? value : -1;
}

int GfxEffectText::SamplerState(const std::string& name) {
  int value = Lookup(kSamplerStates, sizeof(kSamplerStates) / sizeof(kSamplerStates[0]), name);
  return value > 0 && value < WE_D3DSAMP_COUNT ? value : -1;
}

bool GfxEffectText::Parse(const char* text, size_t size, GfxEffectDef& out, std::string* error) {
  out = GfxEffectDef();
  std::string all(text ? text : "", text ? size : 0);
  if (all.find('\0') != std::string::npos) {
    if (error) *error = "line 1: not an effect text";
    return false;
  }
  std::vector<std::string> lines;
  {
    size_t start = 0;
    while (start <= all.size()) {
      size_t end = all.find('\n', start);
      if (end == std::string::npos) end = all.size();
      std::string line = all.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = end + 1;
    }
  }
  int lineNumber = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(lineNumber) + ": " + why;
    return false;
  };
  bool header = false;
  GfxEffectTechniqueDef* technique = nullptr;
  GfxEffectPassDef* pass = nullptr;
  auto findParameter = [&](const std::string& name) -> GfxEffectParamDef* {
    for (GfxEffectParamDef& p : out.parameters)
      if (p.name == name) return &p;
    return nullptr;
  };

  for (size_t li = 0; li < lines.size(); ++li) {
    lineNumber = int(li + 1);
    std::vector<std::string> t = Tokens(lines[li]);
    if (t.empty() || t[0][0] == '#') continue;
    const std::string& word = t[0];
    if (!header) {
      if (word != "weeffect" || t.size() != 2 || t[1] != "1") return fail("expected \"weeffect 1\"");
      header = true;
      continue;
    }
    if (word == "parameter") {
      if (!out.techniques.empty()) return fail("parameters come before the techniques");
      GfxEffectParamDef p;
      size_t i = 1;
      if (i < t.size() && t[i] == "shared") p.shared = true, ++i;
      if (i + 1 >= t.size() || !ParseType(t[i], p)) return fail("expected a parameter type and name");
      p.name = t[i + 1];
      size_t bracket = p.name.find('[');
      if (bracket != std::string::npos && !p.elements) {
        // "float4 Offsets[4]" as well as "float4[4] Offsets".
        GfxEffectParamDef sized = p;
        if (!ParseType(t[i] + p.name.substr(bracket), sized)) return fail("bad array size: " + p.name);
        p.elements = sized.elements;
        p.name = p.name.substr(0, bracket);
      }
      if (!ValidName(p.name)) return fail("bad parameter name: " + p.name);
      if (findParameter(p.name)) return fail("parameter defined twice: " + p.name);
      i += 2;
      if (i < t.size() && t[i] == ":") {
        if (i + 1 >= t.size()) return fail("expected a semantic");
        p.semantic = t[i + 1];
        i += 2;
      }
      p.words.assign(p.Words(), 0);
      if (i < t.size()) {
        if (t[i] != "=") return fail("unexpected " + t[i]);
        std::string why;
        if (!ParseValue(t, i + 1, p, why)) return fail(why);
      }
      out.parameters.push_back(std::move(p));
    } else if (word == "annotation") {
      // annotation <parameter> <type> <name> = <value>
      if (t.size() < 6 || t[4] != "=") return fail("expected: annotation <parameter> <type> <name> = <value>");
      GfxEffectParamDef* owner = findParameter(t[1]);
      if (!owner) return fail("annotation of an unknown parameter: " + t[1]);
      GfxEffectParamDef a;
      if (!ParseType(t[2], a) || a.type == D3DXPT_TEXTURE) return fail("bad annotation type: " + t[2]);
      a.name = t[3];
      a.words.assign(a.Words(), 0);
      std::string why;
      if (!ParseValue(t, 5, a, why)) return fail(why);
      owner->annotations.push_back(std::move(a));
    } else if (word == "technique") {
      if (pass) return fail("technique inside a pass");
      if (technique) return fail("technique inside a technique");
      if (t.size() != 2 || !ValidName(t[1])) return fail("expected a technique name");
      for (const GfxEffectTechniqueDef& other : out.techniques)
        if (other.name == t[1]) return fail("technique defined twice: " + t[1]);
      out.techniques.push_back(GfxEffectTechniqueDef{t[1], {}});
      technique = &out.techniques.back();
    } else if (word == "endtechnique") {
      if (!technique || pass) return fail("endtechnique without its technique");
      if (technique->passes.empty()) return fail("technique without passes: " + technique->name);
      technique = nullptr;
    } else if (word == "pass") {
      if (!technique || pass) return fail("pass outside a technique");
      if (t.size() != 2) return fail("expected a pass name");
      technique->passes.push_back(GfxEffectPassDef());
      pass = &technique->passes.back();
      pass->name = t[1];
    } else if (word == "endpass") {
      if (!pass) return fail("endpass without its pass");
      if (pass->vertex.empty() || pass->fragment.empty()) return fail("a pass needs a vertex and a fragment program");
      pass = nullptr;
    } else if (word == "state") {
      if (!pass || t.size() != 4 || t[2] != "=") return fail("expected: state <name> = <value> inside a pass");
      int state = RenderState(t[1]);
      if (state < 0) return fail("unknown render state: " + t[1]);
      long long n = 0;
      float f = 0;
      DWORD value = 0;
      if (t[3] == "true" || t[3] == "false")
        value = t[3] == "true";
      else if (ParseInt(t[3], n))
        value = DWORD(uint32_t(n));
      else if (ParseFloat(t[3], f))
        std::memcpy(&value, &f, 4);  // float-valued states (fog, depth bias) keep their bits
      else
        return fail("bad state value: " + t[3]);
      pass->states.push_back({state, value});
    } else if (word == "samplerstate") {
      long long unit = 0, n = 0;
      if (!pass || t.size() != 5 || t[3] != "=" || !ParseInt(t[1], unit) || unit < 0 || unit >= WE_GFX_STAGES)
        return fail("expected: samplerstate <unit> <name> = <value> inside a pass");
      int state = SamplerState(t[2]);
      if (state < 0) return fail("unknown sampler state: " + t[2]);
      if (!ParseInt(t[4], n)) return fail("bad sampler state value: " + t[4]);
      pass->samplerStates.push_back({{UINT(unit), state}, DWORD(uint32_t(n))});
    } else if (word == "sampler") {
      long long unit = 0;
      if (!pass || t.size() < 3 || t.size() > 4 || !ValidName(t[1]) || !ParseInt(t[2], unit) || unit < 0 ||
          unit >= WE_GFX_STAGES)
        return fail("expected: sampler <uniform> <unit> [<texture parameter>] inside a pass");
      GfxEffectSamplerDef s{t[1], UINT(unit), t.size() == 4 ? t[3] : std::string()};
      if (!s.texture.empty()) {
        GfxEffectParamDef* p = findParameter(s.texture);
        if (!p || p->type != D3DXPT_TEXTURE) return fail("not a texture parameter: " + s.texture);
      }
      pass->samplers.push_back(s);
    } else if (word == "vertex" || word == "fragment") {
      if (!pass || t.size() != 1) return fail(word + " program outside a pass");
      std::string& program = word == "vertex" ? pass->vertex : pass->fragment;
      if (!program.empty()) return fail("second " + word + " program in one pass");
      const std::string end = "end" + word;
      size_t j = li + 1;
      for (; j < lines.size(); ++j) {
        std::vector<std::string> e = Tokens(lines[j]);
        if (e.size() == 1 && e[0] == end) break;
        program += lines[j];
        program += '\n';
      }
      if (j == lines.size()) return fail("missing " + end);
      if (program.find_first_not_of(" \t\n") == std::string::npos) return fail("empty " + word + " program");
      // Line numbers of the GLSL log then match the effect text.
      program = "#line " + std::to_string(li + 2) + "\n" + program;
      li = j;
    } else {
      return fail("unknown keyword: " + word);
    }
  }
  lineNumber = int(lines.size());
  if (!header) return fail("expected \"weeffect 1\"");
  if (pass || technique) return fail("unterminated technique or pass");
  if (out.techniques.empty()) return fail("no technique");
  return true;
}
