// The main program of setup.exe: the framework's start-up, the application's
// title, the five forms in order (the first is the main form), the message
// loop, and the framework's end. An exception that nothing else catches ends the program
// through the last-chance error box with exit code 1.
#include <windows.h>

#include "framework/Application.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup3.h"
#include "setup/Setup4.h"
#include "setup/Setup5.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        InitializeFramework();
        Application->Initialize();
        Application->SetTitle("Brisdane 95 Setup");
        Application->CreateAppForm(Form1);
        Application->CreateAppForm(Form2);
        Application->CreateAppForm(Form3);
        Application->CreateAppForm(Form4);
        Application->CreateAppForm(Form5);
        Application->Run();
        FinalizeFramework();
    } catch (...) {
        return ShowLastChanceError();
    }
    return 0;
}
