// Not a test of the suite: the sample product's whole installation and
// uninstallation, driven from outside as a user clicks through them, with a
// picture of the whole display at every screen.
//
//   tour.exe FOLDER             the sample distribution of the build
//   tour.exe FOLDER diskettes   the sample's two diskettes in drive A:,
//                               changed when the setup asks for them
//
// The pictures are saved as numbered BMP files ("01-welcome.bmp", ...) into
// FOLDER. scripts/run-sample.sh runs the first form when there is no display
// to show the program on, scripts/screenshots.sh the second for the pages of
// docs/.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "framework/GdiHandles.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"
#include "tests/support/SampleDiskettes.h"
#include "tests/support/SetupSession.h"

namespace {

std::string g_outputFolder;
bool g_fromDiskettes = false;

// Saves the whole display as a 24-bit BMP file, numbered in the order taken.
void SaveScreen(const std::string& name)
{
    static int count = 0;
    // Let the windows that just appeared finish painting.
    const DWORD until = GetTickCount() + 700;
    while (GetTickCount() < until) {
        PumpThreadMessages();
        Sleep(20);
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ScopedDC screen;
    MemoryDC memory(screen.Get());
    Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        ScopedSelect select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    }

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::string pixels(stride * static_cast<DWORD>(height), '\0');
    GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    char number[8];
    std::snprintf(number, sizeof number, "%02d-", ++count);
    const std::string path = g_outputFolder + "\\" + number + name + ".bmp";
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    EXPECT_TRUE(out.good()) << path;
}

// The size of text in "MS Sans Serif" of the given height, measured on this
// screen as the setup measures it on the same screen.
SIZE TextSize(int fontHeight, const std::string& text)
{
    ScopedDC screen;
    Font font(CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif"));
    ScopedSelect select(screen.Get(), font.Get());
    SIZE size{};
    GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int ScreenPixelsPerInch()
{
    ScopedDC screen;
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

// A length of the forms' designs (made with a text height of 13 in their
// font of height -11 at 96 pixels per inch) as the setup shows it on this
// screen.
int Scaled(int designed)
{
    const int textHeight = TextSize(MulDiv(-11, ScreenPixelsPerInch(), 96), "0").cy;
    return MulDiv(designed, textHeight, 13);
}

// Every window on the form lies inside the form's client area, so nothing
// of a control is cut off by the form's edge.
void ExpectControlsInside(HWND form)
{
    RECT client{};
    GetClientRect(form, &client);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom)
            << "\"" << TextOf(child) << "\" sticks out of \"" << TextOf(form) << "\"";
    }
}

// A message dialog's buttons have the sizes that the screen's default font
// (8 points) gives them, and lie inside the dialog.
void ExpectMessageDialogLayout(HWND dialog)
{
    const SIZE average = TextSize(-MulDiv(8, ScreenPixelsPerInch(), 72),
                                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int cx = average.cx / 52;
    const int cy = average.cy;
    const std::vector<HWND> buttons = ChildWindowsOfClass(dialog, "TButton");
    EXPECT_FALSE(buttons.empty());
    for (HWND button : buttons) {
        RECT r{};
        GetWindowRect(button, &r);
        EXPECT_EQ(r.right - r.left, MulDiv(50, cx, 4)) << TextOf(button);
        EXPECT_EQ(r.bottom - r.top, MulDiv(14, cy, 8)) << TextOf(button);
    }
    ExpectControlsInside(dialog);
}

// Waits for a message dialog of the program, pictures it and presses button.
HWND Answer(DrivenProcess& setup, const char* caption, const std::string& shot, const std::string& button)
{
    HWND dialog = setup.WaitForWindow("TMessageForm", caption);
    if (!dialog)
        return nullptr;
    ExpectMessageDialogLayout(dialog);
    SaveScreen(shot);
    ClickButton(dialog, button);
    setup.WaitUntilGone(dialog);
    return dialog;
}

// The splash's welcome message, then the mode choice with the install or
// the uninstall option; O K.
void StartAndChoose(SetupSession& setup, bool install)
{
    ASSERT_TRUE(setup.Process().Started());
    ASSERT_NE(Answer(setup.Process(), "Information", install ? "welcome" : "welcome-again", "OK"), nullptr);
    setup.Choose(install, [&](HWND form) {
        RECT client{};
        GetClientRect(form, &client);
        EXPECT_EQ(client.right, Scaled(246));
        EXPECT_EQ(client.bottom, Scaled(113));
        ExpectControlsInside(form);
        SaveScreen(install ? "mode-choice" : "mode-choice-uninstall");
    });
}

TEST(Tour, InstallAndUninstallTheSampleProduct)
{
    const std::string folder = g_fromDiskettes ? "A:\\" : BuildFolder() + "sample\\";
    std::optional<EmptyDriveAtEnd> emptyDriveAtEnd;
    if (g_fromDiskettes) {
        emptyDriveAtEnd.emplace();
        InsertDiskette(1);
    }
    {
        SCOPED_TRACE("installation");
        SetupSession session(folder);
        StartAndChoose(session, true);
        DrivenProcess& setup = session.Process();

        HWND settings = setup.WaitForWindow("TForm3", "Installation Settings");
        ASSERT_NE(settings, nullptr);
        {
            // The destination box, designed at 52 with a width of 220.
            const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
            ASSERT_EQ(edits.size(), 1u);
            RECT box{};
            GetWindowRect(edits[0], &box);
            EXPECT_EQ(box.right - box.left, Scaled(52 + 220) - Scaled(52));
            ExpectControlsInside(settings);
        }
        SaveScreen("settings");
        ClickButton(settings, "Br&owse");
        HWND browse = setup.WaitForWindow("TFDIRFORM", "Select A Directory");
        ASSERT_NE(browse, nullptr);
        ExpectControlsInside(browse);
        SaveScreen("browse");
        ASSERT_TRUE(setup.WaitForFocusIn(browse));
        setup.PressKey(VK_ESCAPE);
        setup.WaitUntilGone(browse);
        ASSERT_TRUE(setup.WaitForFocusIn(settings));
        // NOTE: leaving the chooser with Cancel puts the current directory
        // into the box, as the setup always has; the user types the
        // destination again.
        const std::vector<HWND> edits = ChildWindowsOfClass(settings, "TEdit");
        ASSERT_EQ(edits.size(), 1u);
        SetTextOf(edits[0], "C:\\HALVARN");
        ClickButton(settings, "Exit");
        ASSERT_NE(Answer(setup, "Confirm", "exit-question", "&No"), nullptr);
        ClickButton(settings, "&Next >>");
        setup.WaitUntilGone(settings);
        HWND progress = setup.WaitForWindow("TForm5", "Installing");
        ASSERT_NE(progress, nullptr);
        ExpectControlsInside(progress);

        if (g_fromDiskettes) {
            // The product's files are on the second diskette.
            HWND prompt = setup.WaitForWindow("TMessageForm", "Warning");
            ASSERT_NE(prompt, nullptr);
            SaveScreen("other-diskette");
            InsertDiskette(2);
            ClickButton(prompt, "&Retry");
            setup.WaitUntilGone(prompt);
        }
        {
            // The question stands over the progress form, both centred; the
            // user drags it down to see how far the copying has come.
            HWND question = setup.WaitForWindow("TMessageForm", "Information");
            ASSERT_NE(question, nullptr);
            SaveScreen("optional-file");
            RECT form{};
            RECT box{};
            GetWindowRect(progress, &form);
            GetWindowRect(question, &box);
            SetWindowPos(question, nullptr, box.left, form.bottom + 8, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SaveScreen("progress");
            ClickButton(question, "&Yes");
            setup.WaitUntilGone(question);
        }
        ASSERT_NE(Answer(setup, "Information", "start-menu", "&Yes"), nullptr);
        if (g_fromDiskettes) {
            HWND prompt = setup.WaitForWindow("TMessageForm", "Information");
            ASSERT_NE(prompt, nullptr);
            SaveScreen("first-diskette");
            InsertDiskette(1);
            ClickButton(prompt, "OK");
        }
        EXPECT_EQ(setup.WaitForExit(), 0u);
        HWND product = FindAnyWindowWithin("#32770", "Halvarn 95", 15000);
        ASSERT_NE(product, nullptr) << "the product did not start";
        SaveScreen("product-started");
        PostMessageA(product, WM_CLOSE, 0, 0);
    }
    {
        SCOPED_TRACE("uninstallation");
        SetupSession session(folder);
        StartAndChoose(session, false);
        DrivenProcess& setup = session.Process();
        // The log lies in the destination, not beside the program.
        session.PickLog("C:\\HALVARN\\uninst.fls", [](HWND) { SaveScreen("find-the-log"); });
        HWND uninstaller = setup.WaitForWindow("TForm4", "Select Items to Uninstall");
        ASSERT_NE(uninstaller, nullptr);
        ExpectControlsInside(uninstaller);
        SaveScreen("uninstall-list");
        ClickButton(uninstaller, "Select All");
        SaveScreen("uninstall-selection");
        ClickButton(uninstaller, "Uninstall");
        // The directory holds only the log once the rest has gone: it goes
        // with it, without a question.
        ASSERT_NE(Answer(setup, "Information", "uninstall-complete", "OK"), nullptr);
        EXPECT_EQ(setup.WaitForExit(), 0u);
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tour OUTPUT_FOLDER [diskettes]\n");
        return 2;
    }
    g_outputFolder = argv[1];
    g_fromDiskettes = argc > 2 && std::string(argv[2]) == "diskettes";
    return RUN_ALL_TESTS();
}
