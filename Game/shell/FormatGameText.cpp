#include "Game/shell/FormatGameText.h"

WeString FormatGameText(const WeString& format, std::initializer_list<GameTextArg> args)
{
    WeString out;
    const GameTextArg* next = args.begin();
    const int32_t n = format.Length();
    for (int32_t i = 0; i < n; ++i)
    {
        const char c = format[i];
        if (c != '%' || i + 1 >= n)
        {
            out.AppendChar(c);
            continue;
        }
        const char d = format[i + 1];
        if (d == '%')
        {
            out.AppendChar('%');
            ++i;
            continue;
        }
        const bool haveValue = next != args.end();
        if ((d == 'd' || d == 'i') && haveValue && next->kind == GameTextArg::Int)
        {
            out.AppendInt(next->intValue);
            ++next;
            ++i;
            continue;
        }
        if (d == 's' && haveValue && next->kind == GameTextArg::Text)
        {
            out.Append(next->textValue);
            ++next;
            ++i;
            continue;
        }
        if (d == 'f' && haveValue && next->kind == GameTextArg::Float)
        {
            out.AppendFloat(next->floatValue, 6);
            ++next;
            ++i;
            continue;
        }
        if (d == '.' && i + 3 < n && format[i + 2] >= '0' && format[i + 2] <= '9' && format[i + 3] == 'f' &&
            haveValue && next->kind == GameTextArg::Float)
        {
            out.AppendFloat(next->floatValue, format[i + 2] - '0');
            ++next;
            i += 3;
            continue;
        }
        out.AppendChar(c);
    }
    return out;
}
