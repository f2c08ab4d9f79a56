// The directory selection dialog: a non-visual component that lets the user
// pick a directory in a small modal window built from the TFDIRFORM design.
// The caller puts a starting directory into Path, runs the dialog and reads
// Path back.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Component.h"
#include "framework/Forms.h"

class TDirectoryDialog : public TComponent {
    DECLARE_CLASS_INFO(TDirectoryDialog)
public:
    explicit TDirectoryDialog(TComponent* owner);
    ~TDirectoryDialog() override;

    // The title of the dialog window.
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& value) { m_caption = value; }
    // In: the starting directory. Out: the chosen path after OK.
    const std::string& Path() const { return m_path; }
    void SetPath(const std::string& value) { m_path = value; }
    // The window state given to the dialog's form before it is shown.
    TWindowState Windowstate() const { return m_windowState; }
    void SetWindowstate(TWindowState value) { m_windowState = value; }

    // Shows the dialog modally on a form of its own, made for this run and
    // freed after it, and returns the form's ModalResult: 1 for OK, when
    // Path becomes the edit box's text as it stands (unchecked), 2 for
    // Cancel or a closed window, when Path stays. A starting Path the
    // directory list cannot enter raises EInOutError before the form is
    // shown; Path is then unchanged.
    int32_t RunDialog();

private:
    std::string m_caption;
    std::string m_path;
    TWindowState m_windowState = wsNormal;
};
