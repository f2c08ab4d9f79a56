// Line-oriented text files in the system's ANSI code page, with the error
// state that the caller tests after every operation. The setup script and the
// uninstall log are read and written through these operations, so what they
// treat as a line end, and where they stop reading, decides what those files
// may contain.
#pragma once

#include <string>
#include <string_view>

#include "runtime/Handles.h"
#include "runtime/LineSource.h"

enum class TextFileMode { Unassigned, Closed, Input, Output };

// Error codes of the runtime's own, besides operating-system error codes.
enum InOutCode : int {
    ioFileNotAssigned = 102,  // opened before a name was bound
    ioFileNotOpen = 103,      // closed while not open
    ioNotOpenForInput = 104,
    ioNotOpenForOutput = 105,
};

class TTextFile {
public:
    // The longest name a text file can be bound to.
    static constexpr size_t MaxNameLength = 259;
    static constexpr size_t BufferSize = 128;

    TTextFile() = default;
    // An open file is closed and its buffered output written; failures are
    // dropped on purpose here, since a destructor has nobody to report to.
    ~TTextFile();
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    TextFileMode Mode() const { return m_mode; }
    const std::string& Name() const { return m_name; }

private:
    friend void BindTextFile(TTextFile&, std::string_view);
    friend void OpenTextForReading(TTextFile&);
    friend void OpenTextForWriting(TTextFile&);
    friend char ReadTextChar(TTextFile&);
    friend char PeekTextChar(TTextFile&);
    friend std::string ReadTextLine(TTextFile&);
    friend void SkipTextLine(TTextFile&);
    friend bool TextAtEnd(TTextFile&);
    friend void WriteText(TTextFile&, std::string_view);
    friend void WriteTextLineEnd(TTextFile&);
    friend void CloseTextFile(TTextFile&);

    bool Open(bool forOutput);
    bool Fill();
    bool Flush();
    int Release();

    std::string m_name;
    bool m_nameValid = true;
    TextFileMode m_mode = TextFileMode::Unassigned;
    FileHandle m_owned;              // the handle of a named file
    HANDLE m_handle = nullptr;       // the handle in use: m_owned's, or a borrowed standard handle
    char m_buffer[BufferSize] = {};
    size_t m_pos = 0;
    size_t m_end = 0;
};

// Binds the name; the file stays closed. An empty name stands for the
// process's standard input or output.
void BindTextFile(TTextFile& file, std::string_view name);
// Opens an existing file for reading (read access, sharing write access).
void OpenTextForReading(TTextFile& file);
// Creates or truncates the file for writing (write access, sharing read access).
void OpenTextForWriting(TTextFile& file);
// The next character; at the end of the data Ctrl-Z (26), without advancing.
char ReadTextChar(TTextFile& file);
// The character ReadTextChar would return, without advancing.
char PeekTextChar(TTextFile& file);
// The characters up to, not including, the next CR or Ctrl-Z; the CR is left unread.
std::string ReadTextLine(TTextFile& file);
// Discards up to and including the next CR and a LF right after it; stops at Ctrl-Z.
void SkipTextLine(TTextFile& file);
// True when the next character is Ctrl-Z or no data remains; consumes nothing.
bool TextAtEnd(TTextFile& file);
void WriteText(TTextFile& file, std::string_view text);
// Appends CR LF.
void WriteTextLineEnd(TTextFile& file);
// Writes out buffered output and closes the handle.
void CloseTextFile(TTextFile& file);

// The error state of the calling thread's last text-file operation: 0 after a
// success, else an operating-system code or one of InOutCode. Reading it
// resets it to 0.
int InOutResult();
// Raises EInOutError for a non-zero error state, resetting the state to 0.
void CheckInOut();

// Input from an open text file with the error state tested after every
// operation: a failure raises EInOutError at once, so a record reader stops
// at the record where reading failed.
class CheckedTextInput : public TextLineSource {
public:
    explicit CheckedTextInput(TTextFile& file) : m_file(file) {}

    bool AtEnd() override;
    char ReadChar() override;
    char PeekChar() override;
    std::string ReadLine() override;
    void SkipLine() override;

private:
    TTextFile& m_file;  // not owned: opened and closed by the caller around the reading
};
