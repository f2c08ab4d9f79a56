#include "setup/SetupForms.h"

#include "framework/Application.h"
#include "setup/Setup1.h"
#include "setup/Setup2.h"
#include "setup/Setup3.h"
#include "setup/Setup4.h"
#include "setup/Setup5.h"

void CreateSetupForms(SetupState& state)
{
    Application->CreateAppForm(Form1);
    Application->CreateAppForm(Form2);
    Application->CreateAppForm(Form3);
    Application->CreateAppForm(Form4);
    Application->CreateAppForm(Form5);
    Form1->UseState(state);
    Form2->UseState(state);
    Form3->UseState(state);
    Form4->UseState(state);
    Form5->UseState(state);
}

void CreateProgressForm(SetupState& state)
{
    Application->CreateAppForm(Form5);
    Form5->UseState(state);
}
