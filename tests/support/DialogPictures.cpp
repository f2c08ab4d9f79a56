#include "tests/support/DialogPictures.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/GdiHandles.h"
#include "framework/StdCtrls.h"
#include "tests/support/ProcessDriver.h"

namespace {

struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

// What the screen shows of the window's client area, its top rows only.
Picture CaptureClient(HWND window, int rows)
{
    Picture picture;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    picture.Width = client.right;
    picture.Height = std::min<int>(rows, client.bottom);
    if (picture.Width <= 0 || picture.Height <= 0)
        return picture;
    ScopedDC screen;
    MemoryDC memory(screen.Get());
    Bitmap bitmap(CreateCompatibleBitmap(screen.Get(), picture.Width, picture.Height));
    {
        ScopedSelect select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, picture.Width, picture.Height, screen.Get(), origin.x, origin.y, SRCCOPY);
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = picture.Width;
    info.biHeight = -picture.Height;  // top row first
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    picture.Pixels.resize(static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height));
    GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(picture.Height), picture.Pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return picture;
}

// Lets the other program finish painting what just appeared.
void Settle(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    while (static_cast<int32_t>(until - GetTickCount()) > 0) {
        PumpThreadMessages();
        Sleep(20);
    }
}

} // namespace

testing::AssertionResult MessageDialogShows(HWND dialog, const std::string& text, MessageKind kind,
                                            MessageButtons buttons)
{
    if (!Application)
        return testing::AssertionFailure() << "the framework is not started";
    if (!dialog || !IsWindowVisible(dialog))
        return testing::AssertionFailure() << "no dialog is shown";

    const ComponentPtr<TMessageForm> expected = BuildMessageDialog(text, kind, buttons);
    auto* message = dynamic_cast<TLabel*>(expected->FindComponent("Message"));
    if (!message)
        return testing::AssertionFailure() << "the built dialog has no message";
    const int rows = message->Top() + message->Height();

    RECT other{};
    GetWindowRect(dialog, &other);
    // The expected dialog is put where it covers no part of the other one,
    // above it or else below it, and shown without taking the activation.
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int top = other.top >= expected->Height() ? 0 : screenHeight - expected->Height();
    expected->SetBounds(0, top, expected->Width(), expected->Height());
    HWND window = expected->Handle();
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(window);
    Settle(400);

    const Picture seen = CaptureClient(dialog, rows);
    const Picture wanted = CaptureClient(window, rows);
    ShowWindow(window, SW_HIDE);

    RECT seenClient{};
    GetClientRect(dialog, &seenClient);
    if (seenClient.right != expected->ClientWidth() || seenClient.bottom != expected->ClientHeight())
        return testing::AssertionFailure() << "the dialog is " << seenClient.right << " x " << seenClient.bottom
                                           << " pixels; for \"" << text << "\" it would be "
                                           << expected->ClientWidth() << " x " << expected->ClientHeight();
    size_t differing = 0;
    for (size_t i = 0; i < seen.Pixels.size() && i < wanted.Pixels.size(); ++i)
        differing += (seen.Pixels[i] & 0xFFFFFF) != (wanted.Pixels[i] & 0xFFFFFF);
    if (seen.Pixels.empty() || seen.Pixels.size() != wanted.Pixels.size() || differing > 0)
        return testing::AssertionFailure() << differing << " of " << seen.Pixels.size()
                                           << " pixels of the message differ from those of \"" << text << "\"";
    return testing::AssertionSuccess();
}
