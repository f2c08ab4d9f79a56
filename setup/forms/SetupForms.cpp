// The making of the setup's forms, in order, each given the state and the
// forms it hands over to.
#include "setup/forms/SetupForms.h"

#include "framework/Application.h"
#include "setup/forms/Setup1.h"
#include "setup/forms/Setup2.h"
#include "setup/forms/Setup3.h"
#include "setup/forms/Setup4.h"
#include "setup/forms/Setup5.h"

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
    Form3->UseForms(Form1, Form2);
    // The removal of a log the command line names has no mode choice.
    Form4->UseModeChoice(state.Switches.UninstallLog ? nullptr : Form2);
}

void CreateProgressForm(SetupState& state)
{
    Application->CreateAppForm(Form5);
    Form5->UseState(state);
}
