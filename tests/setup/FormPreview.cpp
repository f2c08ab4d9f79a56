// Shows the mode choice form on the screen for a while, so that it can be
// looked at (or photographed) without running the whole setup. The captions
// are set as its OnShow handler sets them for the product "Halvarn 95"; the
// handler itself is left out, as it reads the splash form's state.
//
//   form_preview.exe [seconds]     (default 5)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "framework/Application.h"
#include "setup/forms/Setup2.h"
#include "tests/support/EndAfter.h"

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    try {
        InitializeFramework();
        Application->SetTitle("Brisdane 95 Setup");
        TForm2* form = CreateForm<TForm2>(Application);
        form->SetOnShow(TNotifyEvent());
        form->SetCaption("Install or Uninstall Halvarn 95");
        form->RadioButton1->SetCaption("Install Halvarn 95");
        form->RadioButton2->SetCaption("Uninstall Halvarn 95");
        form->Show();
        std::printf("Form2 at (%d, %d), %d x %d, client %d x %d\n", form->Left(), form->Top(), form->Width(),
                    form->Height(), form->ClientWidth(), form->ClientHeight());
        std::fflush(stdout);
        EndApplicationAfter(seconds);
        while (!Application->Terminated())
            Application->HandleOneMessage();
        FinalizeFramework();
    } catch (const Exception& e) {
        std::fprintf(stderr, "form_preview: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
