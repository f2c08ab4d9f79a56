// Text input from a whole file held in memory, by the same line rules as the
// Win32 text files. The build machine's tools read the setup's files through
// it, where the Win32 text files do not exist.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "runtime/LineSource.h"

class TextBuffer : public TextLineSource {
public:
    explicit TextBuffer(std::string bytes) : m_bytes(std::move(bytes)) {}

    bool AtEnd() override;
    char ReadChar() override;
    char PeekChar() override;
    std::string ReadLine() override;
    void SkipLine() override;

    // How many bytes have been read or skipped so far.
    size_t Position() const { return m_pos; }

private:
    std::string_view Rest() const { return std::string_view(m_bytes).substr(m_pos); }

    std::string m_bytes;
    size_t m_pos = 0;
};
