// The strict reading of an integer: leading blanks, a sign, then decimal
// digits or "$" and hexadecimal ones, and a conversion error quoting the text
// for anything else.
#include "runtime/Convert.h"

#include "runtime/Exceptions.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int32_t ParseInteger(std::string_view text)
{
    auto fail = [&]() -> int32_t { throw EConvertError(StrId::SInvalidInteger, {text}); };

    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return fail();

    if (text[i] == '$') {
        const size_t first = ++i;
        uint32_t value = 0;
        for (; i < text.size(); ++i) {
            const int digit = HexDigit(text[i]);
            if (digit < 0 || i - first == 8)
                return fail();
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        if (i == first)
            return fail();
        return static_cast<int32_t>(negative ? 0u - value : value);
    }

    // Accumulate as a magnitude in 64 bits; the negative range is one larger.
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return fail();
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > limit)
            return fail();
    }
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}
