// The line rules of the system's text files, on plain byte buffers: where a
// line's text stops, how a line end is skipped, where the data ends. The
// Win32 text files feed their 128-byte buffer through these rules, and
// programs for the build machine apply them to a whole file held in memory,
// so both read a file the same way. Nothing here knows the operating system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace TextRules {

constexpr char CR = 13;
constexpr char LF = 10;
// Ends the data wherever it stands; nothing after it is read.
constexpr char CtrlZ = 26;

// The number of bytes at the start of chunk that belong to a line's text:
// everything before the first CR or Ctrl-Z. When it equals chunk.size(), the
// line goes on in the next chunk.
size_t LineTextLength(std::string_view chunk);

// Skips the rest of a line: everything up to and including the next CR, and
// a LF right after that CR. The line may span several chunks; Consume is
// called with each until Done().
class LineSkipper {
public:
    // Consumes what belongs to the line end from the start of chunk and
    // returns how many bytes that is. A Ctrl-Z is never consumed: it ends
    // the skip and stays for the reader to see.
    size_t Consume(std::string_view chunk);
    // True once the skip has ended: past the CR and its LF, or at a Ctrl-Z.
    // Running out of data also ends a skip; the caller knows when that is.
    bool Done() const { return m_state == State::Done; }

private:
    enum class State { SeekingCR, AfterCR, Done };
    State m_state = State::SeekingCR;
};

} // namespace TextRules
