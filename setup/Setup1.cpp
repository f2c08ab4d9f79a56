#include "setup/Setup1.h"

TForm1* Form1 = nullptr;

const TClassInfo& TForm1::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm1, TForm>("TForm1")
        .Field<&TForm1::Image1>("Image1")
        .Field<&TForm1::Timer1>("Timer1")
        .Field<&TForm1::Label1>("Label1")
        .Field<&TForm1::Label2>("Label2")
        .Method<TNotifyEvent, &TForm1::Form1Show>("Form1Show")
        .Method<TNotifyEvent, &TForm1::Timer1Timer>("Timer1Timer")
        .Method<TNotifyEvent, &TForm1::Form1Create>("Form1Create")
        .Method<TNotifyEvent, &TForm1::Form1Destroy>("Form1Destroy")
        .Build();
    return info;
}

void TForm1::Form1Create(TObject*)
{
    FileList = std::make_unique<TStringList>();
    ItemList = std::make_unique<TStringList>();
    UninstallList = std::make_unique<TStringList>();
    OptionList = std::make_unique<TStringList>();
    MessageList = std::make_unique<TStringList>();
    PifList = std::make_unique<TStringList>();
}

void TForm1::Form1Destroy(TObject*)
{
    FileList.reset();
    ItemList.reset();
    UninstallList.reset();
    OptionList.reset();
    MessageList.reset();
    PifList.reset();
}

// NOTE: the splash sequence (directories, setup script, slide-in, start-up
// messages, hand-over to the mode choice) is built on the application's
// message loop and the other forms; until those exist these handlers only
// hold their place in the form's design.
void TForm1::Form1Show(TObject*) {}

void TForm1::Timer1Timer(TObject*) {}

std::string TForm1::CheckPath(const std::string& path) const
{
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + '\\';
}
