#pragma once

// The application the program's entry runs: the whole program is Run; GetName is the caption of the
// crash message. RunWithCrashHandler is the entry, with crash protection around Run.
class WeApplication
{
public:
    virtual int Run() = 0;
    virtual const char* GetName() = 0;

    // Stamps the start time, installs the crash protection the build asks for, then runs.
    int RunWithCrashHandler();

protected:
    ~WeApplication() = default;
};

// The running application, read by the crash message (null before the object exists).
extern WeApplication* g_Application;
