#include "setup/RunLog.h"

#include <windows.h>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

bool RunLog::Open(const std::string& name)
{
    m_file.Reset(CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return IsOpen();
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
    DWORD written = 0;
    if (!WriteFile(m_file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
        // NOTE: a log that can no longer be written (a full drive) stops
        // logging; it never stops the installation it describes.
        m_file.Reset();
    }
}

int RunLog::Finish(ExitCode code)
{
    const int number = static_cast<int>(code);
    Line(Format(LoadResString(StrId::SLogExit), {number, ExitCodeMeaning(code)}));
    m_file.Reset();
    return number;
}
