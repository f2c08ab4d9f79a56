#include "framework/MessageDialogs.h"

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "framework/ExtCtrls.h"
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

// Frees a form on every way out of the scope that holds it.
struct FreeComponent {
    void operator()(TComponent* component) const { TComponent::Free(component); }
};

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

MessageDialogLayout LayOutMessageDialog(int cx, int cy, int textWidth, int textHeight, bool hasIcon, int buttonCount)
{
    // Dialog units: a quarter of the average character width, an eighth of
    // its height. The platform's MulDiv rounds halves away from zero.
    MessageDialogLayout l;
    l.HorzMargin = MulDiv(8, cx, 4);
    l.VertMargin = MulDiv(8, cy, 8);
    l.HorzSpacing = MulDiv(10, cx, 4);
    l.VertSpacing = MulDiv(10, cy, 8);
    l.ButtonWidth = MulDiv(50, cx, 4);
    l.ButtonHeight = MulDiv(14, cy, 8);
    l.ButtonSpacing = MulDiv(4, cx, 4);

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

TMessageForm* BuildMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons)
{
    std::unique_ptr<TMessageForm, FreeComponent> form(new TMessageForm(Application));
    form->SetBorderStyle(bsDialog);

    // The average character size of the dialog's font, and the message
    // wrapped within half the screen's width, both measured with that font.
    TScreen& screen = TScreen::Instance();
    int cx = 0;
    int cy = 0;
    RECT textRect{0, 0, screen.Width() / 2, 0};
    {
        ScopedDC dc;
        ScopedSelect font(dc.Get(), form->Font()->Handle());
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE size{};
        GetTextExtentPoint32A(dc.Get(), letters, 52, &size);
        cx = size.cx / 52;
        cy = size.cy;
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &textRect, DT_CALCRECT | DT_WORDBREAK);
    }
    const bool hasIcon = kind != MessageKind::Custom;
    const MessageDialogLayout layout =
        LayOutMessageDialog(cx, cy, textRect.right, textRect.bottom, hasIcon, ButtonCount(buttons));

    form->SetClientSize(layout.ClientWidth, layout.ClientHeight);
    form->SetBounds(screen.Width() / 2 - form->Width() / 2, screen.Height() / 2 - form->Height() / 2, form->Width(),
                    form->Height());
    if (kind == MessageKind::Custom)
        form->SetCaption(Application ? Application->Title() : std::string());
    else
        form->SetCaption(LoadResString(Kinds[static_cast<size_t>(kind)].Caption));

    if (hasIcon) {
        auto* image = new TImage(form.get());
        image->SetName("Image");
        image->SetParent(form.get());
        auto icon = std::make_unique<TIcon>();
        icon->SetSharedHandle(LoadIconA(nullptr, MAKEINTRESOURCEA(Kinds[static_cast<size_t>(kind)].Icon)));
        image->Picture()->SetGraphic(std::move(icon));
        const RECT& r = layout.IconBounds;
        image->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }

    auto* message = new TLabel(form.get());
    message->SetName("Message");
    message->SetParent(form.get());
    message->SetWordWrap(true);
    message->SetCaption(text);
    const RECT& t = layout.TextBounds;
    message->SetBounds(t.left, t.top, t.right - t.left, t.bottom - t.top);

    // The default and cancel buttons are chosen from the set before any
    // button exists; a choice that is not in the set gives no such button.
    const MessageButton defaultButton = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
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
        if (which == defaultButton)
            button->SetDefault(true);
        if (which == cancelButton)
            button->SetCancel(true);
        if (which == mbHelp)
            button->SetOnClick(TNotifyEvent::Of<&TMessageForm::HelpButtonClick>(form.get()));
        button->SetBounds(x, layout.ButtonTop, layout.ButtonWidth, layout.ButtonHeight);
        x += layout.ButtonWidth + layout.ButtonSpacing;
    }
    return form.release();
}

int ShowMessageDialogAt(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext, int x,
                        int y)
{
    std::unique_ptr<TMessageForm, FreeComponent> form(BuildMessageDialog(text, kind, buttons));
    form->SetHelpContext(helpContext);
    if (x >= 0)
        form->SetLeft(x);
    if (y >= 0)
        form->SetTop(y);
    return form->RunModal();
}

int ShowMessageDialog(const std::string& text, MessageKind kind, MessageButtons buttons, int helpContext)
{
    return ShowMessageDialogAt(text, kind, buttons, helpContext, -1, -1);
}
