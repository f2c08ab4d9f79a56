// The five operations by which the system reads its line files (the setup
// script and the uninstall log): a text file opened for input offers them,
// and so does a whole file held in memory. Record readers are written
// against this interface so that the setup program and the build machine's
// tools read the same files the same way.
#pragma once

#include <string>

class TextLineSource {
public:
    virtual ~TextLineSource() = default;

    // True when the next character is Ctrl-Z or no data remains; consumes nothing.
    virtual bool AtEnd() = 0;
    // The next character; at the end of the data Ctrl-Z, without advancing.
    virtual char ReadChar() = 0;
    // The character ReadChar would return, without advancing.
    virtual char PeekChar() = 0;
    // The characters up to, not including, the next CR or Ctrl-Z; the CR is left unread.
    virtual std::string ReadLine() = 0;
    // Discards up to and including the next CR and a LF right after it; stops at Ctrl-Z.
    virtual void SkipLine() = 0;
};
