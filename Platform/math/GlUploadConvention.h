#pragma once
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR4.h"

// How a matrix reaches a GLSL program: its 16 floats go up unchanged (glUniformMatrix4fv with
// transpose GL_FALSE). GL reads them column after column, so the shader's mat4 is our matrix
// transposed and GLSL's `M * v` equals our `v * M`: no shader or caller ever transposes.

// The floats to hand to glUniformMatrix4fv(location, 1, GL_FALSE, ...).
inline const float* GlUploadFloats(const D3DXMATRIX& m)
{
    return &m._11;
}

// The matrix whose upload is these 16 floats (reading a uniform back, for instance).
D3DXMATRIX GlMatrixFromUpload(const float* floats);

// What GLSL computes for `M * v` when M was uploaded from these floats; used to check the convention
// on the CPU.
D3DXVECTOR4 GlslMatrixTimesVector(const float* floats, const D3DXVECTOR4& v);
