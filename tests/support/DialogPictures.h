// What another program's message dialog says, seen as its user sees it. The
// dialog's message is drawn by a label that has no window of its own, so no
// window message can ask for its text: instead the dialog that this
// program's framework builds for the expected text, kind and buttons is drawn
// here, and the two pictures are compared pixel for pixel above the buttons
// (the icon and the message; the buttons differ by which one has the focus).
// The test must have started the framework.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/MessageDialogs.h"

testing::AssertionResult MessageDialogShows(HWND dialog, const std::string& text, MessageKind kind,
                                            MessageButtons buttons);
