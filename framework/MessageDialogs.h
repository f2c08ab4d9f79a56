// Message dialogs: the modal question or notice built at run time from a
// text, a kind (caption and icon) and a set of buttons, laid out from the
// average character size of the dialog's font.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include <windows.h>

#include "framework/Forms.h"

enum class MessageKind : uint8_t { Warning, Error, Information, Confirmation, Custom };

// The buttons in the order they are created, laid out and tabbed through.
enum MessageButton { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbHelp };
using MessageButtons = TSet<MessageButton>;

// The dialog form; it adds only the Help button's handler to a form.
class TMessageForm : public TForm {
    DECLARE_CLASS_INFO(TMessageForm)
public:
    explicit TMessageForm(TComponent* owner);

    void HelpButtonClick(TObject* sender);
};

// The dialog's geometry in pixels, from the average character size of its
// font (cx, cy), the size of the wrapped message text, whether the kind has
// an icon and how many buttons there are.
struct MessageDialogLayout {
    int HorzMargin = 0;
    int VertMargin = 0;
    int HorzSpacing = 0;
    int VertSpacing = 0;
    int ButtonWidth = 0;
    int ButtonHeight = 0;
    int ButtonSpacing = 0;
    int BlockWidth = 0;
    int BlockHeight = 0;
    int RowWidth = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    RECT IconBounds{};  // left, top, right, bottom; empty without an icon
    RECT TextBounds{};
    int ButtonTop = 0;
    int FirstButtonLeft = 0;  // the next one starts ButtonWidth + ButtonSpacing further right
};
// A dialog never grows beyond a client area of maxClientWidth by
// maxClientHeight (what the screen's work area leaves inside the frame): a
// text larger than the room beside the icon and above the buttons is given
// only that room, and buttons too wide for one row are made narrower.
MessageDialogLayout LayOutMessageDialog(int cx, int cy, int textWidth, int textHeight, bool hasIcon, int buttonCount,
                                        int maxClientWidth = INT_MAX, int maxClientHeight = INT_MAX);
// The largest text such a dialog holds: width and height in pixels.
SIZE MessageTextRoom(int cx, int cy, bool hasIcon, int maxClientWidth, int maxClientHeight);

// Builds the complete dialog, hidden, owned by the application object until
// the caller frees it. The default button is OK, else Yes, else Retry; a
// caller that names another one (a question whose safe answer is No) gets
// that one as the default, with the focus on it when the dialog opens, so
// that Enter presses it.
ComponentPtr<TMessageForm> BuildMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons,
                                              std::optional<MessageButton> defaultButton = std::nullopt);

// Runs the dialog modally and frees it on every path; returns the modal
// result of the button that ended it, or mrCancel when it was closed.
// x and y, when not negative, replace the centred left and top edges.
int ShowMessageDialogAt(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext, int x,
                        int y);
int ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext);
// The same with the default button that the caller names.
int ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext,
                      MessageButton defaultButton);
