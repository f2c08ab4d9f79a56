// Message dialogs built at run time: the caption and icon of each kind, the
// buttons, the layout from the font's character size, a text cut to fit the
// screen, and the modal run.
#include "framework/MessageDialogs.h"

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/Screen.h"
#include "framework/StdCtrls.h"
#include "runtime/ResStrings.h"

namespace {

struct ButtonInfo {
    const char* Name;
    StrId Caption;
    TModalResult Result;
};

// In bit order of MessageButton: the order of creation, layout and tabbing.
const ButtonInfo Buttons[] = {
    {"Yes", StrId::SMsgDlgYes, mrYes},          {"No", StrId::SMsgDlgNo, mrNo},
    {"OK", StrId::SMsgDlgOK, mrOk},             {"Cancel", StrId::SMsgDlgCancel, mrCancel},
    {"Abort", StrId::SMsgDlgAbort, mrAbort},    {"Retry", StrId::SMsgDlgRetry, mrRetry},
    {"Ignore", StrId::SMsgDlgIgnore, mrIgnore}, {"All", StrId::SMsgDlgAll, mrAll},
    // The Help button's result is 0: it never ends the dialog.
    {"Help", StrId::SMsgDlgHelp, mrNone},
};

struct KindInfo {
    StrId Caption;
    int Icon;  // the platform's predefined icon
};

// In the order of MessageKind, up to Custom, which has no icon and takes
// the application's title as its caption.
const KindInfo Kinds[] = {
    {StrId::SMsgDlgWarning, 32515},      // exclamation mark
    {StrId::SMsgDlgError, 32513},        // stop sign
    {StrId::SMsgDlgInformation, 32516},  // letter i
    {StrId::SMsgDlgConfirm, 32514},      // question mark
};

const int IconSize = 32;

int ButtonCount(MessageButtons buttons)
{
    int count = 0;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (buttons.Contains(static_cast<MessageButton>(b)))
            ++count;
    return count;
}

// The part of the screen that the task bar and docked bars leave free.
RECT WorkArea()
{
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || work.right <= work.left || work.bottom <= work.top)
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return work;
}

// Moves the form, without sizing it, so that it lies inside the work area;
// a form larger than the area keeps its top left corner inside.
void KeepInWorkArea(TForm& form)
{
    const RECT work = WorkArea();
    const int left = std::max<int>(work.left, std::min<int>(form.Left(), work.right - form.Width()));
    const int top = std::max<int>(work.top, std::min<int>(form.Top(), work.bottom - form.Height()));
    form.SetBounds(left, top, form.Width(), form.Height());
}

// The rectangle of text word-wrapped within width, as the message label
// draws it.
RECT WrappedText(HDC dc, const std::string& text, int width)
{
    RECT r{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
    return r;
}

// The longest beginning of text that, followed by an ellipsis, wraps within
// width to no more than height.
std::string CutToHeight(HDC dc, const std::string& text, int width, int height)
{
    static const std::string ellipsis = "...";
    size_t fits = 0;
    size_t tooLong = text.size();
    while (tooLong - fits > 1) {
        const size_t middle = fits + (tooLong - fits) / 2;
        if (WrappedText(dc, text.substr(0, middle) + ellipsis, width).bottom <= height)
            fits = middle;
        else
            tooLong = middle;
    }
    return text.substr(0, fits) + ellipsis;
}

} // namespace

const TClassInfo& TMessageForm::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TMessageForm, TForm>("TMessageForm")
        .Method<TNotifyEvent, &TMessageForm::HelpButtonClick>("HelpButtonClick")
        .Build();
    return info;
}

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {}

void TMessageForm::HelpButtonClick(TObject*)
{
    // NOTE: the program ships no help file, so the request for HelpContext
    // has nothing to open; the dialog stays open because the Help button's
    // modal result is 0.
}

namespace {

// Dialog units: a quarter of the average character width, an eighth of its
// height. The platform's MulDiv rounds halves away from zero.
MessageDialogLayout Metrics(int cx, int cy)
{
    MessageDialogLayout l;
    l.HorzMargin = MulDiv(8, cx, 4);
    l.VertMargin = MulDiv(8, cy, 8);
    l.HorzSpacing = MulDiv(10, cx, 4);
    l.VertSpacing = MulDiv(10, cy, 8);
    l.ButtonWidth = MulDiv(50, cx, 4);
    l.ButtonHeight = MulDiv(14, cy, 8);
    l.ButtonSpacing = MulDiv(4, cx, 4);
    return l;
}

SIZE TextRoom(const MessageDialogLayout& l, bool hasIcon, int maxClientWidth, int maxClientHeight)
{
    const int64_t width = int64_t{maxClientWidth} - 2 * l.HorzMargin - (hasIcon ? IconSize + l.HorzSpacing : 0);
    const int64_t height = int64_t{maxClientHeight} - l.ButtonHeight - l.VertSpacing - 2 * l.VertMargin;
    return SIZE{static_cast<LONG>(std::clamp<int64_t>(width, 0, INT_MAX)),
                static_cast<LONG>(std::clamp<int64_t>(height, 0, INT_MAX))};
}

} // namespace

SIZE MessageTextRoom(int cx, int cy, bool hasIcon, int maxClientWidth, int maxClientHeight)
{
    return TextRoom(Metrics(cx, cy), hasIcon, maxClientWidth, maxClientHeight);
}

MessageDialogLayout LayOutMessageDialog(int cx, int cy, int textWidth, int textHeight, bool hasIcon, int buttonCount,
                                        int maxClientWidth, int maxClientHeight)
{
    MessageDialogLayout l = Metrics(cx, cy);
    const SIZE room = TextRoom(l, hasIcon, maxClientWidth, maxClientHeight);
    textWidth = std::min<int>(textWidth, room.cx);
    textHeight = std::min<int>(textHeight, room.cy);
    // Buttons that would not fit side by side share the width there is.
    if (buttonCount > 0) {
        const int64_t rowRoom = int64_t{maxClientWidth} - 2 * l.HorzMargin - (buttonCount - 1) * l.ButtonSpacing;
        if (rowRoom < int64_t{buttonCount} * l.ButtonWidth)
            l.ButtonWidth = static_cast<int>(std::max<int64_t>(rowRoom / buttonCount, 1));
    }

    l.BlockWidth = textWidth;
    l.BlockHeight = textHeight;
    if (hasIcon) {
        l.BlockWidth = textWidth + IconSize + l.HorzSpacing;
        if (textHeight < IconSize)
            l.BlockHeight = IconSize;
    }
    l.RowWidth = buttonCount == 0 ? 0 : buttonCount * l.ButtonWidth + (buttonCount - 1) * l.ButtonSpacing;
    l.ClientWidth = std::max(l.BlockWidth, l.RowWidth) + 2 * l.HorzMargin;
    l.ClientHeight = l.BlockHeight + l.ButtonHeight + l.VertSpacing + 2 * l.VertMargin;

    if (hasIcon)
        l.IconBounds = RECT{l.HorzMargin, l.VertMargin, l.HorzMargin + IconSize, l.VertMargin + IconSize};
    const int textLeft = l.BlockWidth - textWidth + l.HorzMargin;
    l.TextBounds = RECT{textLeft, l.VertMargin, textLeft + textWidth, l.VertMargin + textHeight};
    l.ButtonTop = l.BlockHeight + l.VertMargin + l.VertSpacing;
    l.FirstButtonLeft = (l.ClientWidth - l.RowWidth) / 2;
    return l;
}

ComponentPtr<TMessageForm> BuildMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons,
                                              std::optional<MessageButton> chosenDefault)
{
    ComponentPtr<TMessageForm> form(new TMessageForm(Application));
    form->SetBorderStyle(bsDialog);

    // The average character size of the dialog's font, and the message
    // wrapped within half the screen's width, both measured with that font.
    // The dialog, frame included, must fit the work area: a message too
    // long for it is cut short with an ellipsis, so that the buttons below
    // it stay on the screen.
    TScreen& screen = TScreen::Instance();
    const bool hasIcon = kind != MessageKind::Custom;
    const RECT work = WorkArea();
    const int maxClientWidth = (work.right - work.left) - (form->Width() - form->ClientWidth());
    const int maxClientHeight = (work.bottom - work.top) - (form->Height() - form->ClientHeight());
    int cx = 0;
    int cy = 0;
    std::string shown = text;
    RECT textRect{};
    {
        ScopedDC dc;
        ScopedSelect font(dc.Get(), form->Font()->Handle());
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        GetTextExtentPoint32A(dc.Get(), letters, 52, &size);
        cx = size.cx / 52;
        cy = size.cy;
        const SIZE room = MessageTextRoom(cx, cy, hasIcon, maxClientWidth, maxClientHeight);
        const int wrapWidth = std::min<int>(screen.Width() / 2, room.cx);
        textRect = WrappedText(dc.Get(), shown, wrapWidth);
        if (textRect.bottom > room.cy) {
            shown = CutToHeight(dc.Get(), text, wrapWidth, room.cy);
            textRect = WrappedText(dc.Get(), shown, wrapWidth);
        }
    }
    const MessageDialogLayout layout = LayOutMessageDialog(cx, cy, textRect.right, textRect.bottom, hasIcon,
                                                           ButtonCount(buttons), maxClientWidth, maxClientHeight);

    form->SetClientSize(layout.ClientWidth, layout.ClientHeight);
    form->SetBounds(screen.Width() / 2 - form->Width() / 2, screen.Height() / 2 - form->Height() / 2, form->Width(),
                    form->Height());
    KeepInWorkArea(*form);
    if (kind == MessageKind::Custom)
        form->SetCaption(Application ? Application->Title() : std::string());
    else
        form->SetCaption(LoadResString(Kinds[static_cast<size_t>(kind)].Caption));

    if (hasIcon) {
        auto* image = new TImage(form.get());
        image->SetName("Image");
        image->SetParent(form.get());
        auto icon = std::make_unique<TIcon>();
        // The 32 by 32 image of the icon, also on a screen whose standard
        // icon size is larger.
        icon->SetSharedHandle(static_cast<HICON>(
            LoadImageA(nullptr, MAKEINTRESOURCEA(Kinds[static_cast<size_t>(kind)].Icon), IMAGE_ICON, 32, 32, LR_SHARED)));
        image->Picture()->SetGraphic(std::move(icon));
        const RECT& r = layout.IconBounds;
        image->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }

    auto* message = new TLabel(form.get());
    message->SetName("Message");
    message->SetParent(form.get());
    message->SetWordWrap(true);
    message->SetCaption(shown);
    const RECT& t = layout.TextBounds;
    message->SetBounds(t.left, t.top, t.right - t.left, t.bottom - t.top);

    // The default and cancel buttons are chosen from the set before any
    // button exists; a choice that is not in the set gives no such button.
    const MessageButton defaultButton =
        chosenDefault ? *chosenDefault : buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
    const MessageButton cancelButton = buttons.Contains(mbCancel) ? mbCancel : buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = layout.FirstButtonLeft;
    for (int b = mbYes; b <= mbHelp; ++b) {
        const auto which = static_cast<MessageButton>(b);
        if (!buttons.Contains(which))
            continue;
        const ButtonInfo& info = Buttons[b];
        auto* button = new TButton(form.get());
        button->SetName(info.Name);
        button->SetParent(form.get());
        button->SetCaption(LoadResString(info.Caption));
        button->SetModalResult(info.Result);
        if (which == defaultButton) {
            button->SetDefault(true);
            // NOTE: a button with the focus takes Enter before the default
            // button does, and the first button has it otherwise.
            if (chosenDefault)
                form->SetActiveControl(button);
        }
        if (which == cancelButton)
            button->SetCancel(true);
        if (which == mbHelp)
            button->SetOnClick(TNotifyEvent::Of<&TMessageForm::HelpButtonClick>(form.get()));
        button->SetBounds(x, layout.ButtonTop, layout.ButtonWidth, layout.ButtonHeight);
        x += layout.ButtonWidth + layout.ButtonSpacing;
    }
    return form;
}

namespace {

int RunMessageDialog(const ComponentPtr<TMessageForm>& form, int helpContext, int x, int y)
{
    form->SetHelpContext(helpContext);
    if (x >= 0)
        form->SetLeft(x);
    if (y >= 0)
        form->SetTop(y);
    KeepInWorkArea(*form);
    return form->RunModal();
}

} // namespace

int ShowMessageDialogAt(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext, int x,
                        int y)
{
    return RunMessageDialog(BuildMessageDialog(text, kind, buttons), helpContext, x, y);
}

int ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext)
{
    return ShowMessageDialogAt(text, kind, buttons, helpContext, -1, -1);
}

int ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext,
                      MessageButton defaultButton)
{
    return RunMessageDialog(BuildMessageDialog(text, kind, buttons, defaultButton), helpContext, -1, -1);
}
