// Writes the starting inputs of the reader's fuzzing into a folder: streams
// of the test classes that between them hold every value code, both prefix
// flags, nested controls, collections with and without item indexes, local
// and global references, and a stand-in form with picture and icon data.
//
//   fuzz_seeds <folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Writer.h"
#include "runtime/Stream.h"
#include "tools/fuzz/StreamBuilder.h"
#include "tools/fuzz/StandIns.h"

namespace {


// A form written by the writer from live components: every property kind.
std::vector<uint8_t> WrittenForm()
{
    TTestForm form(nullptr);
    form.SetName("Form1");
    form.SetCaption("Main");
    form.SetColor(tcRed);
    form.Font()->SetStyle({tstBold});
    form.SetOnShow(TNotifyEvent(TMethod{&form, form.ClassInfo().FindMethod("Form1Show")}));
    form.SetOnClose(TCloseEvent(TMethod{&form, form.ClassInfo().FindMethod("Form1Close")}));

    auto* comp1 = new TTestComponent(&form);
    comp1->SetName("Comp1");
    comp1->SetNumber(70000);
    comp1->SetColor(tcWhite);
    comp1->SetLetter('z');
    comp1->SetShape(tshTriangle);
    comp1->SetEnabled(false);
    comp1->SetRatio(-1.25);
    comp1->SetCaption(std::string(260, 'c'));
    comp1->SetElements({te0, te31});
    comp1->Font()->SetHeight(-300);
    comp1->Items()->AddItem()->SetCaption("item");
    comp1->Items()->AddItem()->SetValue(3);
    comp1->SetOnClick(TNotifyEvent(TMethod{&form, form.ClassInfo().FindMethod("ButtonClick")}));
    comp1->SetExtra(5);
    comp1->SetBlob({1, 2, 3});
    comp1->SetLines({"a", "b"});
    comp1->SetDesignPosition(10, 20);

    auto* panel = new TTestControl(&form);
    panel->SetName("Panel1");
    panel->SetParentComponent(&form);
    auto* button = new TTestControl(&form);
    button->SetName("Button1");
    button->SetParentComponent(panel);
    button->SetBuddy(comp1);
    auto* timer = new TTestTimer(&form);
    timer->SetName("Timer1");
    timer->SetInterval(50);

    return WriteBytes([&](TWriter& w) { w.WriteRootComponent(&form); });
}

// What the writer never writes by itself: prefixes, explicit item indexes,
// elements beyond a set's range, nil, global references.
std::vector<uint8_t> RawForm()
{
    return RootStream(
        "TTestForm", "Form1", [](TWriter& w) { Prop(w, "OnShow", [](TWriter& w) { w.WriteIdent("nil"); }); },
        [](TWriter& w) {
            ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) {
                Prop(w, "Elements", [](TWriter& w) { w.WriteSet({"te1", "te33", "te39"}); });
                Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Form1.Comp2"); });
                Prop(w, "Items", [](TWriter& w) {
                    w.WriteCollectionBegin();
                    w.WriteCollectionItem(2);
                    Prop(w, "Caption", [](TWriter& w) { w.WriteString("two"); });
                    w.WriteListEnd();
                    w.WriteCollectionItem();
                    w.WriteListEnd();
                    w.WriteListEnd();
                });
            });
            ChildRecord(w, "TTestComponent", "Comp2", [](TWriter& w) { Prop(w, "Buddy", [](TWriter& w) { w.WriteIdent("Comp1"); }); });
            ChildRecord(w, "TTestComponent", "Comp1", [](TWriter& w) { Prop(w, "Number", [](TWriter& w) { w.WriteInteger(-2); }); },
                   {}, ffInherited);
            ChildRecord(w, "TTestControl", "Panel1", {}, [](TWriter& w) {
                ChildRecord(w, "TTestControl", "Button1", {});
                ChildRecord(w, "TTestControl", "Button2", {}, {}, ffChildPos, 0);
            });
        });
}

// A form of the stand-ins as the stored forms look, with picture data.
std::vector<uint8_t> StandInForm()
{
    return RootStream(
        "TForm1", "Form1",
        [](TWriter& w) {
            Prop(w, "Left", [](TWriter& w) { w.WriteInteger(203); });
            Prop(w, "BorderIcons", [](TWriter& w) { w.WriteSet({}); });
            Prop(w, "Color", [](TWriter& w) { w.WriteIdent("clBlack"); });
            Prop(w, "Font.Style", [](TWriter& w) { w.WriteSet({"fsBold"}); });
            Prop(w, "Icon.Data", [](TWriter& w) { w.WriteBinary("\0\0\1\0", 4); });
            Prop(w, "OnClose", [](TWriter& w) { w.WriteIdent("Form5Close"); });
            Prop(w, "PixelsPerInch", [](TWriter& w) { w.WriteInteger(96); });
            Prop(w, "TextHeight", [](TWriter& w) { w.WriteInteger(13); });
        },
        [](TWriter& w) {
            ChildRecord(w, "TGroupBox", "GroupBox1", {}, [](TWriter& w) {
                ChildRecord(w, "TLabel", "Label1", [](TWriter& w) {
                    Prop(w, "Caption", [](TWriter& w) { w.WriteString("&Text"); });
                    Prop(w, "Alignment", [](TWriter& w) { w.WriteIdent("taCenter"); });
                });
            });
            ChildRecord(w, "TImage", "Image1", [](TWriter& w) {
                const std::string data = std::string("\x07TBitmap", 8) + std::string("\x06\0\0\0BMxxxx", 10);
                Prop(w, "Picture.Data", [&](TWriter& w) { w.WriteBinary(data.data(), static_cast<int32_t>(data.size())); });
            });
            ChildRecord(w, "TTimer", "Timer1", [](TWriter& w) {
                Prop(w, "Interval", [](TWriter& w) { w.WriteInteger(100); });
                Prop(w, "OnTimer", [](TWriter& w) { w.WriteIdent("Timer1Timer"); });
                Prop(w, "Left", [](TWriter& w) { w.WriteInteger(1); });
            });
            ChildRecord(w, "TDriveComboBox", "DriveComboBox1", [](TWriter& w) {
                Prop(w, "DirList", [](TWriter& w) { w.WriteIdent("DirectoryListBox1"); });
            });
            ChildRecord(w, "TDirectoryListBox", "DirectoryListBox1", [](TWriter& w) {
                Prop(w, "OnChange", [](TWriter& w) { w.WriteIdent("DirectoryChange"); });
            });
        });
}

bool Save(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "fuzz_seeds: cannot create %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } seeds[] = {
        {"written.bin", WrittenForm()},
        {"raw.bin", RawForm()},
        {"standin.bin", StandInForm()},
    };
    for (const auto& seed : seeds) {
        if (!Save(folder / seed.name, seed.bytes)) {
            std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", (folder / seed.name).c_str());
            return 1;
        }
    }
    return 0;
}
