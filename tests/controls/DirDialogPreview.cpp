// Runs the directory dialog for a while, so that it can be looked at (or
// photographed) without running the whole setup; it starts in the given
// directory, as the installation settings' Browse button would.
//
//   dirdialog_preview.exe [directory [seconds [drop]]]   (default C:\windows, 5)
//
// With "drop", the drive list is dropped down after a second.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/DirDlg.h"
#include "controls/DirForm.h"
#include "framework/Application.h"
#include "framework/Screen.h"
#include "tests/support/EndAfter.h"

namespace {

void CALLBACK DropDrives(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (auto* form = dynamic_cast<TFDIRFORM*>(TScreen::Instance().FindForm("FDIRFORM")))
        SendMessageA(form->DriveComboBox1->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
}

} // namespace

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
        if (argc > 3 && std::string(argv[3]) == "drop")
            SetTimer(nullptr, 0, 1000, DropDrives);
        const int32_t result = dialog->RunDialog();
        std::printf("RunDialog gave %d, Path %s\n", result, dialog->Path().c_str());
        FinalizeFramework();
    } catch (const Exception& e) {
        std::fprintf(stderr, "dirdialog_preview: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
