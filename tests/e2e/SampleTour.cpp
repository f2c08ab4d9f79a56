// Not a test of the suite: the sample distribution's whole installation and
// uninstallation, driven from outside as a user would click through them,
// with a picture of the screen at every step. scripts/run-sample.sh runs it
// when there is no display to show the program on. The pictures are written
// as numbered BMP files into the folder that SAMPLE_TOUR_SHOTS names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ProcessDriver.h"
#include "tests/support/ProgramPaths.h"

namespace {

// Saves what the screen shows as a 24-bit BMP file.
class ScreenShots {
public:
    ScreenShots()
    {
        const char* folder = std::getenv("SAMPLE_TOUR_SHOTS");
        m_folder = folder ? folder : "";
        if (!m_folder.empty() && m_folder.back() != '\\')
            m_folder += '\\';
    }

    void Take(const std::string& name)
    {
        // The windows paint after they appear.
        Sleep(400);
        PumpThreadMessages();
        char number[8];
        wsprintfA(number, "%02d-", ++m_count);
        const std::string file = m_folder + number + name + ".bmp";
        EXPECT_TRUE(Save(file)) << "cannot save " << file;
    }

private:
    static bool Save(const std::string& file)
    {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        struct ScreenDC {
            HDC dc = GetDC(nullptr);
            ~ScreenDC() { ReleaseDC(nullptr, dc); }
        } screen;
        struct Memory {
            HDC dc;
            HBITMAP bitmap;
            HGDIOBJ previous;
            Memory(HDC like, int w, int h)
                : dc(CreateCompatibleDC(like)), bitmap(CreateCompatibleBitmap(like, w, h)),
                  previous(SelectObject(dc, bitmap))
            {
            }
            ~Memory()
            {
                SelectObject(dc, previous);
                DeleteObject(bitmap);
                DeleteDC(dc);
            }
        } memory(screen.dc, width, height);
        if (!BitBlt(memory.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY))
            return false;

        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = 24;
        header.biCompression = BI_RGB;
        const DWORD stride = ((static_cast<DWORD>(width) * 3) + 3) & ~3u;
        std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
        SelectObject(memory.dc, memory.previous);
        const int lines = GetDIBits(memory.dc, memory.bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                    reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
        SelectObject(memory.dc, memory.bitmap);
        if (lines != height)
            return false;

        BITMAPFILEHEADER fileHeader{};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
        fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
        HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return false;
        DWORD wrote = 0;
        bool ok = WriteFile(out, &fileHeader, sizeof fileHeader, &wrote, nullptr) &&
                  WriteFile(out, &header, sizeof header, &wrote, nullptr) &&
                  WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &wrote, nullptr);
        CloseHandle(out);
        return ok;
    }

    std::string m_folder;
    int m_count = 0;
};

// Waits for a message dialog of the program, pictures it and presses button.
void AnswerWithShot(DrivenProcess& setup, ScreenShots& shots, const char* caption, const std::string& shot,
                    const std::string& button)
{
    HWND dialog = setup.WaitForWindow("TMessageForm", caption);
    ASSERT_NE(dialog, nullptr) << shot;
    shots.Take(shot);
    ClickButton(dialog, button);
    setup.WaitUntilGone(dialog);
}

TEST(SampleTour, InstallAndUninstallTheSampleProduct)
{
    const std::string dist = BuildFolder() + "sample\\";
    ScreenShots shots;
    {
        SCOPED_TRACE("installation");
        DrivenProcess setup("\"" + dist + "setup.exe\"", dist);
        ASSERT_TRUE(setup.Started());
        AnswerWithShot(setup, shots, "Information", "welcome", "OK");
        HWND modeChoice = setup.WaitForWindow("TForm2");
        ASSERT_NE(modeChoice, nullptr);
        shots.Take("mode-choice");
        ClickButton(modeChoice, "O K");
        HWND settings = setup.WaitForWindow("TForm3", "Installation Settings");
        ASSERT_NE(settings, nullptr);
        shots.Take("settings");
        ClickButton(settings, "&Next >>");
        ASSERT_NE(setup.WaitForWindow("TForm5", "Installing"), nullptr);
        AnswerWithShot(setup, shots, "Information", "progress-and-optional-file", "&Yes");
        AnswerWithShot(setup, shots, "Information", "start-menu", "&Yes");
        EXPECT_EQ(setup.WaitForExit(), 0u);
        HWND product = FindAnyWindowWithin("#32770", "Halvarn 95", 15000);
        ASSERT_NE(product, nullptr) << "the product did not start";
        shots.Take("product-started");
        PostMessageA(product, WM_CLOSE, 0, 0);
    }
    {
        SCOPED_TRACE("uninstallation");
        DrivenProcess setup("\"" + dist + "setup.exe\"", dist);
        ASSERT_TRUE(setup.Started());
        AnswerWithShot(setup, shots, "Information", "welcome-again", "OK");
        HWND modeChoice = setup.WaitForWindow("TForm2");
        ASSERT_NE(modeChoice, nullptr);
        HWND radio = FindChildWindow(modeChoice, "Uninstall Halvarn 95");
        ASSERT_NE(radio, nullptr);
        SendMessageTimeoutA(radio, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        shots.Take("mode-choice-uninstall");
        ClickButton(modeChoice, "O K");
        // The log lies in the destination, not beside the program.
        HWND open = setup.WaitForWindow("#32770", "Could not Find - uninst.fls");
        ASSERT_NE(open, nullptr);
        const std::vector<HWND> edits = ChildWindowsOfClass(open, "Edit");
        ASSERT_FALSE(edits.empty());
        SetTextOf(edits[0], "C:\\HALVARN\\uninst.fls");
        shots.Take("find-the-log");
        PostMessageA(open, WM_COMMAND, IDOK, 0);
        HWND uninstaller = setup.WaitForWindow("TForm4", "Select Items to Uninstall");
        ASSERT_NE(uninstaller, nullptr);
        shots.Take("uninstall-list");
        ClickButton(uninstaller, "Select All");
        shots.Take("uninstall-selection");
        ClickButton(uninstaller, "Uninstall");
        AnswerWithShot(setup, shots, "Information", "uninstall-complete", "OK");
        EXPECT_EQ(setup.WaitForExit(), 0u);
    }
}

} // namespace
