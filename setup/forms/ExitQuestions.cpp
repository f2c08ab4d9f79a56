// The questions with which a person leaves the setup.
#include "setup/forms/ExitQuestions.h"

#include "framework/Application.h"
#include "framework/MessageDialogs.h"
#include "runtime/Format.h"
#include "runtime/ResStrings.h"

bool ConfirmExit(const std::string& productTitle)
{
    const std::string text = Format(LoadResString(StrId::STerminateSetup), {productTitle});
    if (ShowMessageDialog(text, MessageKind::Confirmation, {mbYes, mbNo}, 0) != mrYes)
        return false;
    Application->Terminate();
    return true;
}

void ConfirmClose(TCloseAction& action, const std::string& productTitle)
{
    // NOTE: a dialog that only hid would leave the black splash alone on the
    // screen with no way on; so the close box is the Exit button, and on No
    // the dialog stays.
    if (!ConfirmExit(productTitle))
        action = caNone;
}
