// Conversion of text to numbers with the runtime's strict syntax.
#pragma once

#include <cstdint>
#include <string_view>

// Leading blanks, an optional "-" or "+", then decimal digits or "$" and one
// to eight hexadecimal digits, and nothing after. Hexadecimal gives the 32-bit
// pattern ($FFFFFFFF is -1). An empty text, a stray character or a decimal
// value outside the signed 32-bit range raises EConvertError
// "'%s' is not a valid integer value".
int32_t ParseInteger(std::string_view text);
