// The log of a run: made or appended to, one line at a time, each written
// to disk at once, and its last line the exit code.
#include "setup/engine/RunLog.h"

#include <windows.h>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

namespace {

// The system's text for an error code, without its line break.
std::string SystemErrorText(DWORD code)
{
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : Format("error %d", {static_cast<int>(code)});
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

std::string RunLog::Open(const std::string& name)
{
    m_name = name;
    const std::string header = LoadResString(StrId::SRunLogHeader);
    // NOTE: FILE_SHARE_READ alone: while this run has the log, another run
    // can neither write into it nor make it anew; it can still be read.
    FileHandle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string opening = header + "\r\n";
    if (!file.IsValid()) {
        const DWORD made = GetLastError();
        if (made != ERROR_FILE_EXISTS && made != ERROR_ALREADY_EXISTS)
            return Format(LoadResString(StrId::SRunLogNotWritten), {name});
        file.Reset(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid())
            return Format(LoadResString(StrId::SRunLogNotWritten), {name});
        // Only a file whose first line is the log's own is ours to extend.
        std::string first(header.size() + 2, '\0');
        DWORD read = 0;
        if (!ReadFile(file.Get(), first.data(), static_cast<DWORD>(first.size()), &read, nullptr) ||
            read != first.size() || first != header + "\r\n")
            return Format(LoadResString(StrId::SRunLogNotALog), {name});
        // A line that an earlier run left unfinished is ended first.
        char last = '\0';
        if (SetFilePointer(file.Get(), -1, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
            ReadFile(file.Get(), &last, 1, &read, nullptr) && last != '\n')
            opening = "\r\n" + opening;
        SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    }
    if (!WriteAll(file.Get(), opening))
        return Format(LoadResString(StrId::SRunLogFailed), {name, SystemErrorText(GetLastError())});
    m_file = std::move(file);
    return std::string();
}

void RunLog::Line(const std::string& text)
{
    if (!IsOpen())
        return;
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    line += "\r\n";
    // Unbuffered: the line is the system's as soon as the call returns.
    LARGE_INTEGER start{};
    const LARGE_INTEGER none{};
    SetFilePointerEx(m_file.Get(), none, &start, FILE_CURRENT);
    SetLastError(ERROR_SUCCESS);
    if (!WriteAll(m_file.Get(), line)) {
        const DWORD error = GetLastError();
        // NOTE: a log cut in the middle of a line would look like a run
        // that stopped there; the part written is taken out again, and the
        // failure makes the run fail (see AnsweringPrompts::Stopped).
        SetFilePointerEx(m_file.Get(), start, nullptr, FILE_BEGIN);
        SetEndOfFile(m_file.Get());
        m_failure = Format(LoadResString(StrId::SRunLogFailed),
                           {m_name, SystemErrorText(error == ERROR_SUCCESS ? ERROR_DISK_FULL : error)});
        m_file.Reset();
        ToStandardError(m_failure);
    }
}

int RunLog::Finish(ExitCode code)
{
    Line(Format(LoadResString(StrId::SLogExit), {static_cast<int>(code), ExitCodeMeaning(code)}));
    m_file.Reset();
    // NOTE: a run that finished but whose log lacks its end cannot be told
    // from a run that stopped: it does not end with 0.
    if (code == ExitCode::Finished && Failed())
        code = ExitCode::Failed;
    return static_cast<int>(code);
}

void ToStandardError(const std::string& text)
{
    const HANDLE stream = GetStdHandle(STD_ERROR_HANDLE);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return;
    const std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(stream, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
