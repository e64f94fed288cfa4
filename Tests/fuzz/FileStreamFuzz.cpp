// Feeds arbitrary files to the engine's binary stream and reads them with a program the input also gives:
// the first byte is the program's length, the program's bytes pick typed reads, raw reads, seeks, member
// windows and scrambling, and the rest of the input is the file. Reads report no more than they were asked.
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t programLength = data[0] < size - 1 ? data[0] : size - 1;
    const uint8_t* program = data + 1;
    static const std::string path = FuzzScratchPath("stream.bin");
    if (!FuzzWriteFile(path, program + programLength, size - 1 - programLength))
        return 0;
    WeFileStream stream;
    if (!stream.Open(WeString(path.c_str())))
        __builtin_trap();
    std::vector<uint8_t> buffer;
    float floats[16];
    for (size_t pc = 0; pc < programLength; ++pc)
    {
        const uint8_t op = program[pc];
        const int64_t argument = pc + 1 < programLength ? int8_t(program[pc + 1]) : 0;
        switch (op % 16)
        {
        case 0: stream.ReadByte(); break;
        case 1: stream.ReadUInt16(); break;
        case 2: stream.ReadInt32(); break;
        case 3: stream.ReadInt64(); break;
        case 4: stream.ReadFloat(); break;
        case 5: stream.ReadVector3(floats); break;
        case 6: stream.ReadVector4(floats); break;
        case 7: stream.ReadMatrix(floats); break;
        case 8:
            if (stream.ReadString().Length() > WeFileStream::MaxStringLength)
                __builtin_trap();
            break;
        case 9:
        case 10:
        {
            const int64_t count = (argument & 0x7F) * 977;
            buffer.assign(size_t(count), 0xAA);
            const int64_t got =
                op % 16 == 9 ? stream.Read(buffer.data(), count) : stream.ReadBuffered(buffer.data(), count);
            if (got < 0 || got > count)
                __builtin_trap();
            break;
        }
        case 11: stream.Seek(argument * 131, int32_t(op >> 4) % 3); break;
        case 12: stream.SetMember(argument & 0x7F, (op >> 4) * 17); break;
        case 13: stream.SetScrambled(!stream.IsScrambled()); break;
        case 14:
            stream.GetSize();
            stream.Tell();
            stream.IsEof();
            break;
        default: stream.Seek(0, 0); break;
        }
    }
    stream.Close();
    return 0;
}
