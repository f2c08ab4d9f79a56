// The installation run: copies the files, offers the optional ones and the
// Start Menu group, writes the uninstall log and starts the product.
#pragma once

#include "controls/Gauges.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "shell/Progman.h"

class TForm5 : public TForm {
    DECLARE_CLASS_INFO(TForm5)
public:
    explicit TForm5(TComponent* owner) : TForm(owner) {}

    // Published fields
    TGauge* Gauge1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button1 = nullptr;
    TProgMan* ProgMan1 = nullptr;

    // Published methods
    void Form5Activate(TObject* sender);
    void Button1Click(TObject* sender);
    void Form5Close(TObject* sender, TCloseAction& action);
};

extern TForm5* Form5;
