// The questions with which a person leaves the setup, which every form
// asks: the Exit buttons, the installation's Cancel and the close box.
#pragma once

#include <string>

#include "framework/Forms.h"

// The question every Exit button (and the installation's Cancel) asks:
// "Terminate <title> Setup?"; Yes ends the program. True on Yes.
bool ConfirmExit(const std::string& productTitle);
// The close box (or Alt+F4) of a dialog of the setup asks the Exit question:
// Yes ends the program, No keeps the dialog open.
void ConfirmClose(TCloseAction& action, const std::string& productTitle);
