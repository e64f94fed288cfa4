#include "Engine/foundation/WeTickCost.h"

#include "Platform/system/SysClock.h"

WeTickCost g_TickCost;

namespace
{
constexpr const char* StageNames[WeTickCost::StageCount] = {
    "other",        "physics",         "ai",      "craft", "weapons", "pickups and standings", "hud and ui",
    "world render", "post-processing", "present", "render"};
}

WeTickCost::WeTickCost() : m_Clock(&SysClock::System()) {}

void WeTickCost::UseClock(SysClockSource* clock)
{
    m_Clock = clock != nullptr ? clock : &SysClock::System();
}

int64_t WeTickCost::Now()
{
    return m_Clock->ReadCounter();
}

void WeTickCost::Enable(bool on)
{
    m_Enabled = on;
    m_Depth = 0;
    m_Overflow = 0;
    m_Stack[0] = WeCostStage::Other;
    m_Mark = Now();
}

void WeTickCost::BeginSample()
{
    for (int64_t& n : m_Counts)
        n = 0;
    m_Depth = 0;
    m_Overflow = 0;
    m_Stack[0] = WeCostStage::Other;
    m_Mark = Now();
}

void WeTickCost::EndSample(int64_t (&nanoseconds)[StageCount])
{
    Charge();
    const int64_t frequency = m_Clock->Frequency();
    for (int32_t i = 0; i < StageCount; ++i)
        nanoseconds[i] = frequency == 1000000000 || frequency <= 0
                             ? m_Counts[i]
                             : int64_t(double(m_Counts[i]) * 1.0e9 / double(frequency) + 0.5);
}

void WeTickCost::Charge()
{
    const int64_t now = Now();
    m_Counts[int32_t(m_Stack[m_Depth])] += now - m_Mark;
    m_Mark = now;
}

void WeTickCost::Enter(WeCostStage stage)
{
    if (!m_Enabled)
        return;
    Charge();
    if (m_Depth == MaxDepth)
    {
        ++m_Overflow;
        return;
    }
    m_Stack[++m_Depth] = stage;
}

void WeTickCost::Leave()
{
    if (!m_Enabled)
        return;
    Charge();
    if (m_Overflow > 0)
        --m_Overflow;
    else if (m_Depth > 0)
        --m_Depth;
}

const char* WeTickCost::StageName(WeCostStage stage)
{
    const int32_t i = int32_t(stage);
    return i >= 0 && i < StageCount ? StageNames[i] : "?";
}

WeTickCost::Scope::Scope(WeCostStage stage)
{
    if (g_TickCost.IsEnabled())
    {
        g_TickCost.Enter(stage);
        m_Entered = true;
    }
}

WeTickCost::Scope::~Scope()
{
    if (m_Entered)
        g_TickCost.Leave();
}
