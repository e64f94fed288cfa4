#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"

class CUberText;

// One credits entry: a title and its body lines, every one a text anchored at the screen centre that fades
// in over half the entry's life and out over the other half. The body lines sit below the title by the
// line feeds put in front of them.
class CClassicCreditsDude
{
public:
    CClassicCreditsDude(const WeString& title, const WeString& body);
    virtual ~CClassicCreditsDude();
    CClassicCreditsDude(const CClassicCreditsDude&) = delete;
    CClassicCreditsDude& operator=(const CClassicCreditsDude&) = delete;

    CUberText* m_Title = nullptr;
    WeList<CUberText*> m_Lines;
    WeStringList m_LineStrings;
    float m_Timer = 0.0f;
    float m_Duration = 0.0f;
    uint8_t m_Finished = 0;
};
