// Runs the directory dialog for a while, so that it can be looked at (or
// photographed) without running the whole setup; it starts in the given
// directory, as the installation settings' Browse button would.
//
//   dirdialog_preview.exe [directory [seconds]]     (default C:\windows, 5)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "controls/DirDlg.h"
#include "framework/Application.h"
#include "tests/support/EndAfter.h"

int main(int argc, char** argv)
{
    const char* start = argc > 1 ? argv[1] : "C:\\windows";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
    try {
        InitializeFramework();
        Application->SetTitle("Brisdane 95 Setup");
        auto* dialog = new TDirectoryDialog(Application);
        dialog->SetCaption("Select A Directory");
        dialog->SetPath(start);
        EndApplicationAfter(seconds);
        const int32_t result = dialog->RunDialog();
        std::printf("RunDialog gave %d, Path %s\n", result, dialog->Path().c_str());
        FinalizeFramework();
    } catch (const Exception& e) {
        std::fprintf(stderr, "dirdialog_preview: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
