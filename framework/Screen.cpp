// The screen object's list of forms and focus, the screen's size and pixels
// per inch, and the reading of a form's design from the program's resources.
#include "framework/Screen.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "framework/ErrorRouting.h"
#include "framework/Forms.h"
#include "framework/Reader.h"
#include "runtime/Stream.h"

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

// ---------------------------------------------------------------------------
// Stored designs

bool ReadComponentResource(std::string_view resourceName, TComponent* instance)
{
    const std::string name(resourceName);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), RT_RCDATA);
    if (!info)
        return false;
    HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return false;
    // The design is read in place from the loaded resource.
    TMemoryViewStream stream(bytes, SizeofResource(module, info));
    TReader reader(stream);
    reader.ReadRootComponent(instance);
    return true;
}

bool ReadFormResource(TComponent* instance, const TClassInfo& rootAncestor)
{
    return TReader::ReadWithGlobalLoading([&] {
        std::vector<const TClassInfo*> chain;
        for (const TClassInfo* c = &instance->ClassInfo();
             c && c != &rootAncestor && c != &TComponent::StaticClassInfo(); c = c->Parent)
            chain.push_back(c);
        bool found = false;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            if (ReadComponentResource((*it)->Name, instance))
                found = true;
        return found;
    });
}
