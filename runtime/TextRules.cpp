// The line rules on byte buffers: how much of a chunk is a line's text, and
// the skip of a line end that may be split across chunks.
#include "runtime/TextRules.h"

#include <algorithm>

namespace TextRules {

size_t LineTextLength(std::string_view chunk)
{
    const auto stop = std::find_if(chunk.begin(), chunk.end(), [](char c) { return c == CR || c == CtrlZ; });
    return static_cast<size_t>(stop - chunk.begin());
}

size_t LineSkipper::Consume(std::string_view chunk)
{
    size_t used = 0;
    while (used < chunk.size() && m_state != State::Done) {
        const char c = chunk[used];
        if (c == CtrlZ) {
            m_state = State::Done;
            break;
        }
        if (m_state == State::AfterCR) {
            // Only a LF right after the CR belongs to the line end.
            if (c == LF)
                ++used;
            m_state = State::Done;
            break;
        }
        ++used;
        if (c == CR)
            m_state = State::AfterCR;
    }
    return used;
}

} // namespace TextRules
