#pragma once

// Plain 4x4 matrix record: 16 floats, row after row, position in the fourth row (row vectors, v * M).
struct D3DMATRIX
{
    union
    {
        struct
        {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

static_assert(sizeof(D3DMATRIX) == 64);
