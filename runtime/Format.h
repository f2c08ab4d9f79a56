// Builds message texts from a format with placeholders and typed arguments.
// Only what the program's string table uses is understood: %s, %d, %x, %X,
// %p (eight upper-case hexadecimal digits) and %%. Arguments are checked
// against their placeholders at run time, so a mismatched message shows a
// visible marker instead of reading a wrong type.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class FormatArg {
public:
    FormatArg(std::string_view text) : m_isText(true), m_text(text) {}
    FormatArg(const std::string& text) : m_isText(true), m_text(text) {}
    FormatArg(const char* text) : m_isText(true), m_text(text ? text : "") {}
    FormatArg(int value) : m_number(value) {}
    FormatArg(long value) : m_number(value) {}
    FormatArg(long long value) : m_number(value) {}
    FormatArg(unsigned value) : m_number(value) {}
    FormatArg(unsigned long value) : m_number(static_cast<int64_t>(value)) {}
    FormatArg(const void* address) : m_number(static_cast<int64_t>(reinterpret_cast<uintptr_t>(address))) {}

    bool IsText() const { return m_isText; }
    std::string_view Text() const { return m_text; }
    int64_t Number() const { return m_number; }

private:
    bool m_isText = false;
    std::string_view m_text;  // not owned: arguments live for the Format call only
    int64_t m_number = 0;
};

std::string Format(std::string_view format, std::initializer_list<FormatArg> args);
