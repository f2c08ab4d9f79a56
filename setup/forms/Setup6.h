// The uninstallation's progress form: what the uninstaller is doing, how
// many of how many items are through, and the gauge, shown over the
// uninstaller while a long log is read or a long selection removed. It
// offers nothing to press; its close box does nothing.
#pragma once

#include <cstddef>
#include <string>

#include "controls/Gauges.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

class TForm6 : public TForm {
    DECLARE_CLASS_INFO(TForm6)
public:
    explicit TForm6(TComponent* owner) : TForm(owner) {}

    // Published fields
    TGauge* Gauge1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

    // Published methods
    void Form6Close(TObject* sender, TCloseAction& action);

    // Names the work under way.
    void ShowWork(const std::string& work);
    // Shows done of total in the count and the gauge.
    void ShowCount(size_t done, size_t total);
};

// A count as the user's settings group its digits: 12,345 in English.
std::string GroupedCount(size_t count);
