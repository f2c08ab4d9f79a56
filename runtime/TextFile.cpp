// The text files: binding a name, opening and closing, reading and writing
// through the small buffer, and the per-thread error state that the caller
// tests or that the checked input turns into an exception.
#include "runtime/TextFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/Exceptions.h"
#include "runtime/TextRules.h"

namespace {

using TextRules::CtrlZ;

thread_local int t_inOutResult = 0;

void SetResult(int code) { t_inOutResult = code; }

} // namespace

int InOutResult()
{
    return std::exchange(t_inOutResult, 0);
}

void CheckInOut()
{
    if (const int code = InOutResult())
        throw EInOutError(code);
}

TTextFile::~TTextFile()
{
    const int saved = t_inOutResult;
    if (m_mode == TextFileMode::Input || m_mode == TextFileMode::Output)
        Release();
    t_inOutResult = saved;
}

void BindTextFile(TTextFile& file, std::string_view name)
{
    if (file.m_mode == TextFileMode::Input || file.m_mode == TextFileMode::Output)
        file.Release();
    // NOTE: a name the file record cannot hold, or one with a NUL byte that
    // the operating system would cut short, is kept but marked, so that
    // opening it fails with "Invalid filename" rather than opening some
    // other, shorter name.
    file.m_nameValid = name.size() <= TTextFile::MaxNameLength && name.find('\0') == std::string_view::npos;
    file.m_name.assign(name);
    file.m_mode = TextFileMode::Closed;
    SetResult(0);
}

// Closes the handle, writing out pending output first. Returns the first
// error met, or 0.
int TTextFile::Release()
{
    int error = 0;
    if (m_mode == TextFileMode::Output && !Flush())
        error = t_inOutResult;
    if (m_owned && !CloseHandle(m_owned.Release()) && error == 0)
        error = static_cast<int>(GetLastError());
    m_handle = nullptr;
    m_mode = TextFileMode::Closed;
    m_pos = m_end = 0;
    return error;
}

bool TTextFile::Open(bool forOutput)
{
    if (m_mode == TextFileMode::Unassigned) {
        SetResult(ioFileNotAssigned);
        return false;
    }
    if (m_mode != TextFileMode::Closed)
        Release();
    if (!m_nameValid) {
        SetResult(3);
        return false;
    }
    if (m_name.empty()) {
        // Standard input and output are borrowed, never closed. An invalid
        // standard handle (a program without a console) fails at the first
        // read or write with the system's code.
        m_handle = GetStdHandle(forOutput ? STD_OUTPUT_HANDLE : STD_INPUT_HANDLE);
    } else {
        HANDLE handle = forOutput
            ? CreateFileA(m_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
            : CreateFileA(m_name.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            SetResult(static_cast<int>(GetLastError()));
            return false;
        }
        m_owned.Reset(handle);
        m_handle = handle;
    }
    m_mode = forOutput ? TextFileMode::Output : TextFileMode::Input;
    SetResult(0);
    return true;
}

// Makes sure unread input is in the buffer. Returns false at the end of the
// data or on a read error (which sets the error state).
bool TTextFile::Fill()
{
    if (m_pos < m_end)
        return true;
    m_pos = m_end = 0;
    DWORD got = 0;
    if (!ReadFile(m_handle, m_buffer, BufferSize, &got, nullptr)) {
        const DWORD error = GetLastError();
        // A pipe whose writer has gone reports its end as an error.
        if (error != ERROR_BROKEN_PIPE && error != ERROR_HANDLE_EOF)
            SetResult(static_cast<int>(error));
        return false;
    }
    m_end = got;
    return got > 0;
}

// Writes the buffered output. A short write means the disk is full.
bool TTextFile::Flush()
{
    size_t done = 0;
    while (done < m_pos) {
        DWORD wrote = 0;
        if (!WriteFile(m_handle, m_buffer + done, static_cast<DWORD>(m_pos - done), &wrote, nullptr)) {
            SetResult(static_cast<int>(GetLastError()));
            m_pos = 0;
            return false;
        }
        if (wrote == 0) {
            SetResult(101);
            m_pos = 0;
            return false;
        }
        done += wrote;
    }
    m_pos = 0;
    return true;
}

void OpenTextForReading(TTextFile& file)
{
    file.Open(false);
}

void OpenTextForWriting(TTextFile& file)
{
    file.Open(true);
}

char ReadTextChar(TTextFile& file)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Input) {
        SetResult(ioNotOpenForInput);
        return CtrlZ;
    }
    if (!file.Fill())
        return CtrlZ;
    const char c = file.m_buffer[file.m_pos];
    if (c != CtrlZ)
        ++file.m_pos;
    return c;
}

char PeekTextChar(TTextFile& file)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Input) {
        SetResult(ioNotOpenForInput);
        return CtrlZ;
    }
    return file.Fill() ? file.m_buffer[file.m_pos] : CtrlZ;
}

std::string ReadTextLine(TTextFile& file)
{
    SetResult(0);
    std::string line;
    if (file.m_mode != TextFileMode::Input) {
        SetResult(ioNotOpenForInput);
        return line;
    }
    while (file.Fill()) {
        const std::string_view chunk(file.m_buffer + file.m_pos, file.m_end - file.m_pos);
        const size_t length = TextRules::LineTextLength(chunk);
        line.append(chunk.substr(0, length));
        file.m_pos += length;
        if (length < chunk.size())
            break;
    }
    return line;
}

void SkipTextLine(TTextFile& file)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Input) {
        SetResult(ioNotOpenForInput);
        return;
    }
    TextRules::LineSkipper skipper;
    while (!skipper.Done() && file.Fill())
        file.m_pos += skipper.Consume(std::string_view(file.m_buffer + file.m_pos, file.m_end - file.m_pos));
}

bool TextAtEnd(TTextFile& file)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Input) {
        SetResult(ioNotOpenForInput);
        return true;
    }
    return !file.Fill() || file.m_buffer[file.m_pos] == CtrlZ;
}

void WriteText(TTextFile& file, std::string_view text)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Output) {
        SetResult(ioNotOpenForOutput);
        return;
    }
    while (!text.empty()) {
        if (file.m_pos == TTextFile::BufferSize && !file.Flush())
            return;
        const size_t n = std::min(text.size(), TTextFile::BufferSize - file.m_pos);
        std::memcpy(file.m_buffer + file.m_pos, text.data(), n);
        file.m_pos += n;
        text.remove_prefix(n);
    }
}

void WriteTextLineEnd(TTextFile& file)
{
    WriteText(file, "\r\n");
}

void CloseTextFile(TTextFile& file)
{
    SetResult(0);
    if (file.m_mode != TextFileMode::Input && file.m_mode != TextFileMode::Output) {
        SetResult(ioFileNotOpen);
        return;
    }
    SetResult(file.Release());
}

bool CheckedTextInput::AtEnd()
{
    const bool atEnd = TextAtEnd(m_file);
    CheckInOut();
    return atEnd;
}

char CheckedTextInput::ReadChar()
{
    const char c = ReadTextChar(m_file);
    CheckInOut();
    return c;
}

char CheckedTextInput::PeekChar()
{
    const char c = PeekTextChar(m_file);
    CheckInOut();
    return c;
}

std::string CheckedTextInput::ReadLine()
{
    std::string line = ReadTextLine(m_file);
    CheckInOut();
    return line;
}

void CheckedTextInput::SkipLine()
{
    SkipTextLine(m_file);
    CheckInOut();
}
