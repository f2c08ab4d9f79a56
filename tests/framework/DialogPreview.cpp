// Not a test: shows, for a few seconds, either the five gauge kinds at a few
// percentages ("gauges") or the four prompts of the setup side by side
// ("prompts"), for a look at them (docs/gauges.png and docs/prompts.png were
// taken from it on the test bed's display).
#include <windows.h>

#include <string>

#include "controls/Gauges.h"
#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/MessageDialogs.h"
#include "framework/StdCtrls.h"

namespace {

void ShowFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        Application->PumpMessages();
        Sleep(20);
    }
}

void ShowGauges()
{
    auto* form = new TForm(Application);
    form->SetCaption("TGauge: the five kinds at 0, 25, 50, 75 and 100 %");
    form->SetBounds(10, 10, 620, 430);
    const char* kinds[] = {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"};
    const int percents[] = {0, 25, 50, 75, 100};
    for (int k = 0; k < 5; ++k) {
        auto* label = new TLabel(form);
        label->SetParent(form);
        label->SetCaption(kinds[k]);
        label->SetBounds(8, 20 + k * 78, 100, 16);
        for (int p = 0; p < 5; ++p) {
            auto* gauge = new TGauge(form);
            gauge->SetParent(form);
            gauge->SetKind(static_cast<TGaugeKind>(k));
            gauge->SetProgress(percents[p]);
            const bool flat = k == gkText || k == gkHorizontalBar;
            gauge->SetBounds(110 + p * 100, 8 + k * 78, 90, flat ? 23 : 70);
        }
    }
    form->Show();
    ShowFor(5000);
}

void ShowPrompts()
{
    struct Prompt {
        const char* text;
        MessageKind kind;
        MessageButtons buttons;
        int left;
        int top;
    };
    const Prompt prompts[] = {
        {"Terminate Brisdane 95 Setup?", MessageKind::Confirmation, MessageButtons{mbYes, mbNo}, 10, 10},
        {"Install the sample files as well?", MessageKind::Information, MessageButtons{mbYes, mbNo}, 330, 10},
        {"Brisdane 95 was installed.", MessageKind::Information, MessageButtons{mbOK}, 10, 200},
        {"Could not find halvarn95.exe.\rInsert the next diskette.", MessageKind::Warning,
         MessageButtons{mbRetry, mbIgnore}, 330, 200},
    };
    for (const Prompt& p : prompts) {
        // Left to their owner, the application, which frees them at the end.
        TMessageForm* dialog = BuildMessageDialog(p.text, p.kind, p.buttons).release();
        dialog->SetLeft(p.left);
        dialog->SetTop(p.top);
        dialog->Show();
    }
    ShowFor(5000);
}

} // namespace

int main(int argc, char** argv)
{
    InitializeFramework();
    Application->SetTitle("Brisdane 95 Setup");
    const std::string what = argc > 1 ? argv[1] : "gauges";
    if (what == "prompts")
        ShowPrompts();
    else
        ShowGauges();
    FinalizeFramework();
    return 0;
}
