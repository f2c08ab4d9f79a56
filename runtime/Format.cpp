// The message formatter: it puts typed arguments into a string-table text, and
// a placeholder whose argument is missing or of the wrong kind shows "%?".
#include "runtime/Format.h"

#include <cstdio>

namespace {

std::string Hex(uint64_t value, bool upper)
{
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, upper ? "%llX" : "%llx", static_cast<unsigned long long>(value));
    return buffer;
}

} // namespace

std::string Format(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const char kind = format[++i];
        if (kind == '%') {
            out += '%';
            continue;
        }
        if (next == args.end()) {
            out += "%?";
            continue;
        }
        const FormatArg& arg = *next++;
        switch (kind) {
        case 's':
            if (arg.IsText())
                out += arg.Text();
            else
                out += std::to_string(arg.Number());
            break;
        case 'd':
            out += arg.IsText() ? std::string("%?") : std::to_string(arg.Number());
            break;
        case 'x':
        case 'X':
            // Hexadecimal shows the 32-bit pattern for negative values, as the
            // codes it is used for are unsigned 32-bit quantities.
            out += arg.IsText() ? std::string("%?") : Hex(static_cast<uint32_t>(arg.Number()), kind == 'X');
            break;
        case 'p': {
            char digits[12];
            std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(static_cast<uint32_t>(arg.Number())));
            out += arg.IsText() ? std::string("%?") : std::string(digits);
            break;
        }
        default:
            out += '%';
            out += kind;
            --next;
            break;
        }
    }
    return out;
}
