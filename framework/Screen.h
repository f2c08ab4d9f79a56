// The screen object: every form in existence, the form with the focus, the
// program's cursor, and the screen's size and pixels per inch; and the
// reading of the forms' stored designs, each a data resource of the program
// named after its form class.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/Graphics.h"

class TForm;
struct TClassInfo;

class TScreen {
public:
    static TScreen& Instance();

    int FormCount() const { return static_cast<int>(m_forms.size()); }
    TForm* Forms(int index) const { return m_forms.at(static_cast<size_t>(index)); }
    void InsertForm(TForm* form);
    void RemoveForm(TForm* form);
    // The form of that name, ignoring ASCII case, or none.
    TForm* FindForm(std::string_view name) const;

    // The form that owns the control with the keyboard focus.
    TForm* FocusedForm() const { return m_focusedForm; }
    // Makes form the focused form: the previous one is deactivated, then
    // form is activated, unless a handler moves the focus meanwhile.
    void SetFocusedForm(TForm* form);
    // Changes the focused form without running any handler (modal runs).
    void RestoreFocusedForm(TForm* form) { m_focusedForm = form; }
    int FocusCount() const { return m_focusCount; }
    void SetFocusCount(int count) { m_focusCount = count; }
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor) { m_cursor = cursor; }

    int32_t Width() const;
    int32_t Height() const;
    int32_t PixelsPerInch() const;

private:
    TScreen();
    std::vector<TForm*> m_forms;  // not owned: each form adds and removes itself
    int32_t m_pixelsPerInch;
    TForm* m_focusedForm = nullptr;  // not owned: cleared when the form goes
    int m_focusCount = 0;
    TCursor m_cursor = crDefault;
};

// Reads the stored designs of instance's class chain, from the first class
// below rootAncestor down to the instance's own class. Returns whether at
// least one was found.
bool ReadFormResource(TComponent* instance, const TClassInfo& rootAncestor);
// Reads one stored design; false when the program has no such resource.
bool ReadComponentResource(std::string_view resourceName, TComponent* instance);
