#pragma once
#include <cstdint>

// The process-wide random generator. It reproduces the classic 15-bit C runtime sequence so that
// every random choice of the game ("rand() * N / 32768") behaves as it was tuned; the runtime's own
// rand() is never used, so the sequence is the same on every platform and seedable in tests.
class SysRandom
{
public:
    static constexpr int32_t Max = 0x7FFF;

    static void Seed(uint32_t seed);
    // Next value in 0..32767.
    static int32_t Next();
    // Next() * n / 32768, computed in 64 bits so large n never overflows.
    static int32_t Scaled(int32_t n);

private:
    static uint32_t s_State;
};
