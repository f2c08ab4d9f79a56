// ParseInteger reads the file sizes of the setup script: what it accepts
// decides which scripts install, and what it refuses reaches the user as a
// conversion error naming the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Convert.h"
#include "runtime/Exceptions.h"

namespace {

// The message of the conversion error ParseInteger raises, or "" when it
// raises none.
std::string FailureOf(const std::string& text)
{
    try {
        ParseInteger(text);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return std::string();
}

} // namespace

TEST(ParseInteger, AcceptsDecimalWithLeadingBlanksAndSign)
{
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"1024", 1024},
        {" 1024", 1024},
        {"    7", 7},
        {"0", 0},
        {"007", 7},
        {"+5", 5},
        {"-5", -5},
        {"-0", 0},
        {" -12", -12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"00000000000000000000042", 42},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseInteger(text), value);
    }
}

TEST(ParseInteger, AcceptsDollarHexadecimalOfEitherCase)
{
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"$10", 16},
        {"$ff", 255},
        {"$FF", 255},
        {"$aBc", 0xABC},
        {"$0", 0},
        {" $1", 1},
        {"$00000010", 16},
        {"$7FFFFFFF", INT32_MAX},
        {"$80000000", INT32_MIN},
        {"$FFFFFFFF", -1},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseInteger(text), value);
    }
}

TEST(ParseInteger, RefusesOtherTextNamingIt)
{
    const std::vector<std::string> refused = {
        "1024 ",        // nothing may follow, not even a blank
        "",
        " ",
        "-",
        "+",
        "$",
        "-$",
        "$123456789",   // nine hexadecimal digits
        "$00000000F",
        "$G",
        "$1 ",
        "2147483648",
        "-2147483649",
        "4294967296",
        "99999999999999999999999",
        "12a",
        "0x10",
        "1 2",
        "--5",
        "+-5",
        "1e3",
        "1.5",
        "1,000",
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_EQ(FailureOf(text), "'" + text + "' is not a valid integer value");
    }
}

TEST(ParseInteger, ErrorIsAConversionError)
{
    EXPECT_THROW(ParseInteger("1024 "), EConvertError);
    try {
        ParseInteger("1024 ");
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'1024 ' is not a valid integer value");
    }
}
