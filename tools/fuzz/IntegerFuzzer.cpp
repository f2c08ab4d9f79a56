// The fuzz target of ParseInteger. Every input is parsed as a whole text and
// checked against a second, plainly written reading of the same syntax: the
// two must agree on whether the text is a number and on its value, and a
// refusal must be the conversion error that quotes the text. A crash,
// undefined behaviour, a leak, another kind of exception or a disagreement
// is a finding.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Convert.h"
#include "runtime/Exceptions.h"

namespace {

// The syntax read digit by digit into a wide value, without the parser's
// early range checks: blanks, a sign, then decimal digits or "$" and one to
// eight hexadecimal digits, and nothing else.
std::optional<int32_t> Expected(std::string_view text)
{
    size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') {
        const std::string_view digits = text.substr(i + 1);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            return std::nullopt;
        const auto value = static_cast<uint32_t>(std::strtoul(std::string(digits).c_str(), nullptr, 16));
        return static_cast<int32_t>(negative ? 0u - value : value);
    }
    const std::string_view digits = text.substr(i);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    // Leading zeros do not count towards the length.
    const std::string_view significant = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    if (significant.size() > 10)
        return std::nullopt;
    const int64_t magnitude = significant.empty() ? 0 : std::strtoll(std::string(significant).c_str(), nullptr, 10);
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> expected = Expected(text);
    try {
        const int32_t value = ParseInteger(text);
        if (!expected || *expected != value)
            std::abort();
    } catch (const EConvertError& e) {
        if (expected || e.Message() != "'" + std::string(text) + "' is not a valid integer value")
            std::abort();
    }
    return 0;
}
