#include "Tests/Platform/math/MathExpect.h"

// GLSL's `M * v` on the uploaded floats must equal our `v * M`, and the floats must come back as the
// same matrix.
TEST(GlUploadConvention, ShaderProductEqualsRowVectorProductAndRoundTrips)
{
    D3DXMATRIX view, projection, world;
    const D3DXVECTOR3 eye(3, 4, -10), at(0, 1, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 1.5f, 0.5f, 300.0f);
    D3DXMatrixRotationYawPitchRoll(&world, 0.3f, 0.2f, 0.1f);
    world._41 = 7;
    const D3DXMATRIX matrices[] = {
        world * view * projection,
        world,
        D3DXMATRIX(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16),
    };
    const D3DXVECTOR4 vectors[] = {{1, 0, 0, 1}, {0.5f, -2, 8, 1}, {0, 0, 1, 0}, {1, 2, 3, 4}};
    for (const D3DXMATRIX& m : matrices)
    {
        const float* floats = GlUploadFloats(m);
        EXPECT_EQ(floats, static_cast<const float*>(m));  // unchanged, in place
        EXPECT_EQ(GlMatrixFromUpload(floats), m);
        for (const D3DXVECTOR4& v : vectors)
        {
            D3DXVECTOR4 ours;
            D3DXVec4Transform(&ours, &v, &m);
            ExpectNear(GlslMatrixTimesVector(floats, v), ours, 1e-4f);
        }
    }
}
