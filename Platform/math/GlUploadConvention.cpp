#include "Platform/math/GlUploadConvention.h"

D3DXMATRIX GlMatrixFromUpload(const float* floats)
{
    return D3DXMATRIX(floats);
}

D3DXVECTOR4 GlslMatrixTimesVector(const float* floats, const D3DXVECTOR4& v)
{
    // GL stores mat4 column-major: element (row r, column c) is floats[c * 4 + r].
    const float* in = v;
    float out[4];
    for (int r = 0; r < 4; ++r)
    {
        out[r] = 0.0f;
        for (int c = 0; c < 4; ++c)
            out[r] += floats[c * 4 + r] * in[c];
    }
    return D3DXVECTOR4(out);
}
