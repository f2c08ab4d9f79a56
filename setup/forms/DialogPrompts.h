// The setup's questions and notices asked with message dialogs, and its
// progress shown on a gauge and a label: how the forms answer for the
// engine when a person runs the setup.
#pragma once

#include "controls/Gauges.h"
#include "framework/StdCtrls.h"
#include "setup/engine/SetupPrompts.h"

class DialogPrompts : public SetupPrompts {
public:
    // Both may be null when nothing shows progress; neither is owned, and
    // both belong to the form that outlives the prompts.
    DialogPrompts(TGauge* gauge = nullptr, TLabel* fileLabel = nullptr) : m_gauge(gauge), m_fileLabel(fileLabel) {}

    bool Ask(Question question, const std::string& text) override;
    void Tell(const std::string& text) override;
    void Warn(const std::string& text) override;
    void BeginCopies(int count) override;
    void Copying(const std::string& destination) override;
    void Copied(bool counted) override;
    // Once the user has asked to end the program (Cancel confirmed, or the
    // form closed, while the run let messages through).
    bool Stopped() const override;

private:
    TGauge* m_gauge;      // not owned
    TLabel* m_fileLabel;  // not owned
};
