#include "setup/Setup5.h"

TForm5* Form5 = nullptr;

const TClassInfo& TForm5::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm5, TForm>("TForm5")
        .Field<&TForm5::Gauge1>("Gauge1")
        .Field<&TForm5::Label1>("Label1")
        .Field<&TForm5::Label2>("Label2")
        .Field<&TForm5::Button1>("Button1")
        .Field<&TForm5::ProgMan1>("ProgMan1")
        .Method<TNotifyEvent, &TForm5::Form5Activate>("Form5Activate")
        .Method<TNotifyEvent, &TForm5::Button1Click>("Button1Click")
        .Method<TCloseEvent, &TForm5::Form5Close>("Form5Close")
        .Build();
    return info;
}

// NOTE: the run itself and its Cancel and close handling work on the
// application's message loop, the shell and message dialogs; they are wired
// once those exist.
void TForm5::Form5Activate(TObject*) {}

void TForm5::Button1Click(TObject*) {}

void TForm5::Form5Close(TObject*, TCloseAction&) {}
