#include "Platform/math/D3DXColorFunctions.h"

D3DXCOLOR* D3DXColorNegative(D3DXCOLOR* pOut, const D3DXCOLOR* pC)
{
    *pOut = D3DXCOLOR(1.0f - pC->r, 1.0f - pC->g, 1.0f - pC->b, pC->a);
    return pOut;
}

D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2)
{
    *pOut = *pC1 + *pC2;
    return pOut;
}

D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2)
{
    *pOut = *pC1 - *pC2;
    return pOut;
}

D3DXCOLOR* D3DXColorScale(D3DXCOLOR* pOut, const D3DXCOLOR* pC, float s)
{
    *pOut = *pC * s;
    return pOut;
}

D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2)
{
    *pOut = D3DXCOLOR(pC1->r * pC2->r, pC1->g * pC2->g, pC1->b * pC2->b, pC1->a * pC2->a);
    return pOut;
}

D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2, float s)
{
    *pOut = D3DXCOLOR(pC1->r + s * (pC2->r - pC1->r), pC1->g + s * (pC2->g - pC1->g), pC1->b + s * (pC2->b - pC1->b),
                      pC1->a + s * (pC2->a - pC1->a));
    return pOut;
}

D3DXCOLOR* D3DXColorAdjustSaturation(D3DXCOLOR* pOut, const D3DXCOLOR* pC, float s)
{
    // Luminance weights of linear sRGB primaries.
    float grey = pC->r * 0.2125f + pC->g * 0.7154f + pC->b * 0.0721f;
    *pOut = D3DXCOLOR(grey + s * (pC->r - grey), grey + s * (pC->g - grey), grey + s * (pC->b - grey), pC->a);
    return pOut;
}

D3DXCOLOR* D3DXColorAdjustContrast(D3DXCOLOR* pOut, const D3DXCOLOR* pC, float s)
{
    *pOut = D3DXCOLOR(0.5f + s * (pC->r - 0.5f), 0.5f + s * (pC->g - 0.5f), 0.5f + s * (pC->b - 0.5f), pC->a);
    return pOut;
}
