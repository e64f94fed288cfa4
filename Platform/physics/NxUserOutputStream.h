#pragma once
#include "Platform/physics/NxTypes.h"

enum NxErrorCode
{
    NXE_NO_ERROR = 0,
    NXE_INVALID_PARAMETER = 1,
    NXE_INVALID_OPERATION = 2,
    NXE_OUT_OF_MEMORY = 3,
    NXE_INTERNAL_ERROR = 4,
    NXE_ASSERTION = 5,
    NXE_DB_INFO = 6,
    NXE_DB_WARNING = 7,
    NXE_DB_PRINT = 8
};
enum NxAssertResponse
{
    NX_AR_CONTINUE = 0,
    NX_AR_IGNORE = 1,
    NX_AR_BREAKPOINT = 2
};

// Receiver of the SDK's messages. Our layer reports nothing through it, but accepts one.
class NxUserOutputStream
{
public:
    virtual void reportError(NxErrorCode code, const char* message, const char* file, int line) = 0;
    virtual NxAssertResponse reportAssertViolation(const char* message, const char* file, int line) = 0;
    virtual void print(const char* message) = 0;
    virtual ~NxUserOutputStream() = default;
};
