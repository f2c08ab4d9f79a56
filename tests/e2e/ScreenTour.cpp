// Not a test: walks through the sample distribution's screens as a user
// would and saves a picture of the whole display at each one, for the
// README's pages for end users (scripts/screenshots.sh runs it in the test
// bed and turns the pictures into PNG files). The pictures are saved as BMP
// files into the folder named by the first argument; the setup is started
// from the folder named by the second (A:\ when the sample's diskette is in
// the drive), or else from the sample distribution of the build.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "framework/GdiHandles.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/SampleDiskettes.h"
#include "tests/support/TempDir.h"

namespace {

std::string g_outputFolder;

// Saves the whole display as a 24-bit BMP file named name + ".bmp".
void SaveScreen(const std::string& name)
{
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
    std::ofstream out(g_outputFolder + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    EXPECT_TRUE(out.good()) << name;
}

TEST(ScreenTour, TheSampleFromStartToSettings)
{
    struct EmptyDriveAtEnd {
        ~EmptyDriveAtEnd() { InsertDiskette(0); }
    } emptyDriveAtEnd;
    InsertDiskette(1);
    DrivenProcess setup("\"A:\\setup.exe\"", "A:\\");
    ASSERT_TRUE(setup.Started());

    HWND message = setup.WaitForWindow("TMessageForm", "Information");
    ASSERT_NE(message, nullptr);
    SaveScreen("welcome");
    ASSERT_TRUE(setup.WaitForFocusIn(message));
    setup.PressKey(VK_RETURN);
    setup.WaitUntilGone(message);

    HWND modeChoice = setup.WaitForWindow("TForm2");
    ASSERT_NE(modeChoice, nullptr);
    SaveScreen("mode-choice");
    ClickButton(modeChoice, "O K");

    HWND settings = setup.WaitForWindow("TForm3", "Installation Settings");
    ASSERT_NE(settings, nullptr);
    SaveScreen("settings");

    ClickButton(settings, "Br&owse");
    HWND browse = setup.WaitForWindow("TFDIRFORM", "Select A Directory", 5000);
    if (browse) {
        SaveScreen("browse");
        setup.PressKey(VK_ESCAPE);
        setup.WaitUntilGone(browse);
    }

    ClickButton(settings, "Exit");
    HWND question = setup.WaitForWindow("TMessageForm", "Confirm");
    ASSERT_NE(question, nullptr);
    SaveScreen("exit-question");
    ClickButton(question, "&Yes");
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screen_tour OUTPUT_FOLDER\n");
        return 2;
    }
    g_outputFolder = argv[1];
    return RUN_ALL_TESTS();
}
