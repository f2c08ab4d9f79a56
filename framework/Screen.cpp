#include "framework/Screen.h"

#include <algorithm>

#include "framework/Forms.h"
#include "framework/Reader.h"

TScreen& TScreen::Instance()
{
    static TScreen screen;
    return screen;
}

TScreen::TScreen()
{
    m_pixelsPerInch = ScreenPixelsPerInch();
    TReader::SetFindGlobalComponent([](std::string_view name) -> TComponent* { return Instance().FindForm(name); });
}

void TScreen::InsertForm(TForm* form)
{
    m_forms.push_back(form);
}

void TScreen::RemoveForm(TForm* form)
{
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
    if (m_focusedForm == form)
        m_focusedForm = nullptr;
}

void TScreen::SetFocusedForm(TForm* form)
{
    if (form == m_focusedForm)
        return;
    // A handler that moves the focus elsewhere ends this sequence.
    const int count = ++m_focusCount;
    if (TForm* previous = m_focusedForm) {
        CallHandler(previous, [previous] { previous->Deactivate(); });
        if (count != m_focusCount)
            return;
    }
    m_focusedForm = form;
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
    m_forms.insert(m_forms.begin(), form);
    CallHandler(form, [form] { form->Activate(); });
}

TForm* TScreen::FindForm(std::string_view name) const
{
    for (TForm* form : m_forms)
        if (!form->Name().empty() && SameName(form->Name(), name))
            return form;
    return nullptr;
}

int32_t TScreen::Width() const
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int32_t TScreen::Height() const
{
    return GetSystemMetrics(SM_CYSCREEN);
}

int32_t TScreen::PixelsPerInch() const
{
    return m_pixelsPerInch;
}
