// The sample product that the sample distribution installs. It shows the
// command line it was started with, so that the end of an installation (which
// starts the installed product) can be seen. When HALVARN95_LOG names a file,
// the command line is also appended to it, one line a start, for tests that
// watch from outside.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string commandLine = GetCommandLineA();

    char log[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("HALVARN95_LOG", log, sizeof log);
    if (length > 0 && length < sizeof log) {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const std::string line = commandLine + "\r\n";
            DWORD wrote = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr);
            CloseHandle(file);
        }
    }

    const std::string text = "Halvarn 95 was started with this command line:\r\n\r\n" + commandLine;
    MessageBoxA(nullptr, text.c_str(), "Halvarn 95", MB_OK | MB_ICONINFORMATION);
    return 0;
}
