// The image, which paints its picture plain, centred or stretched and can take
// its size from it, and the timer, which arms a platform timer on a hidden
// window of its own.
#include "framework/ExtCtrls.h"

#include "runtime/Stream.h"

namespace {

// A copy of a graphic of any kind, made through its stored form so that
// every kind copies the same way.
std::unique_ptr<TGraphic> CopyGraphic(const TGraphic& graphic)
{
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<const TBitmap*>(&graphic))
        copy = std::make_unique<TBitmap>();
    else if (dynamic_cast<const TIcon*>(&graphic))
        copy = std::make_unique<TIcon>();
    else
        return nullptr;
    TMemoryStream stream;
    graphic.WriteData(stream);
    stream.SetPosition(0);
    copy->ReadData(stream);
    return copy;
}

} // namespace

// ---------------------------------------------------------------------------
// TImage

const TClassInfo& TImage::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TImage, TGraphicControl>("TImage")
        .Publish("Align")
        .Property<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize", false)
        .Property<&TImage::Center, &TImage::SetCenter>("Center", false)
        .Publish("DragCursor", "DragMode", "Enabled", "ParentShowHint")
        .Property<&TImage::Picture, &TImage::SetPicture>("Picture")
        .Publish("PopupMenu", "ShowHint")
        .Property<&TImage::Stretch, &TImage::SetStretch>("Stretch", false)
        .Publish("Visible", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnMouseDown")
        .Publish("OnMouseMove", "OnMouseUp", "OnStartDrag")
        .Build();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), m_picture(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    // The picture's stored data is read straight into it ("Picture.Data"),
    // so the image learns of every change through this and not through
    // SetPicture.
    m_picture->OnChange = [this] { PictureChanged(); };
}

void TImage::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    PictureChanged();
}

void TImage::SetCenter(bool value)
{
    if (value == m_center)
        return;
    m_center = value;
    Changed();
}

void TImage::SetStretch(bool value)
{
    if (value == m_stretch)
        return;
    m_stretch = value;
    Changed();
}

void TImage::SetPicture(TPicture* value)
{
    if (value == m_picture.get())
        return;
    const TGraphic* graphic = value ? value->Graphic() : nullptr;
    m_picture->SetGraphic(graphic ? CopyGraphic(*graphic) : nullptr);
}

// With AutoSize the image takes its picture's size where it stands; an
// empty picture leaves the size alone.
void TImage::PictureChanged()
{
    if (m_autoSize && m_picture->Width() > 0 && m_picture->Height() > 0)
        SetBounds(Left(), Top(), m_picture->Width(), m_picture->Height());
    UpdateOpaque();
    Changed();
}

void TImage::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    TGraphicControl::SetBounds(left, top, width, height);
    UpdateOpaque();
}

void TImage::UpdateOpaque()
{
    const TBitmap* bitmap = m_picture->Bitmap();
    const bool opaque =
        bitmap && !bitmap->Empty() && bitmap->Width() >= Width() && bitmap->Height() >= Height();
    TControlStyle style = ControlStyle();
    if (opaque)
        style.Include(csOpaque);
    else
        style.Exclude(csOpaque);
    SetControlStyle(style);
}

void TImage::Paint(HDC dc)
{
    const TGraphic* graphic = m_picture->Graphic();
    if (!graphic || graphic->Empty())
        return;
    const int32_t width = graphic->Width();
    const int32_t height = graphic->Height();
    RECT target{0, 0, width, height};
    if (m_stretch)
        target = RECT{0, 0, Width(), Height()};
    else if (m_center)
        OffsetRect(&target, (Width() - width) / 2, (Height() - height) / 2);
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic)) {
        HBITMAP handle = bitmap->Handle();
        if (!handle)
            return;
        MemoryDC source(dc);
        ScopedSelect selected(source.Get(), handle);
        if (m_stretch) {
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
                       source.Get(), 0, 0, width, height, SRCCOPY);
        } else {
            BitBlt(dc, target.left, target.top, width, height, source.Get(), 0, 0, SRCCOPY);
        }
    } else if (const auto* icon = dynamic_cast<const TIcon*>(graphic)) {
        if (HICON handle = icon->Handle())
            DrawIconEx(dc, target.left, target.top, handle, target.right - target.left,
                       target.bottom - target.top, 0, nullptr, DI_NORMAL);
    }
}

// ---------------------------------------------------------------------------
// TTimer

const TClassInfo& TTimer::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TTimer, TComponent>("TTimer")
        .Property<&TTimer::Enabled, &TTimer::SetEnabled>("Enabled", true)
        .Property<&TTimer::Interval, &TTimer::SetInterval>("Interval", 1000)
        .Property<&TTimer::OnTimer, &TTimer::SetOnTimer>("OnTimer")
        .Build();
    return info;
}

namespace {

// The platform's timer id on each timer's own window.
const UINT_PTR TimerId = 1;

} // namespace

TTimer::TTimer(TComponent* owner)
    : TComponent(owner),
      m_window("", 0, 0, 0, HWND_MESSAGE, this,
               [this](UINT msg, WPARAM wParam, LPARAM lParam) { return WndProc(msg, wParam, lParam); })
{
}

TTimer::~TTimer()
{
    PrepareDestroy();
    m_enabled = false;
    KillTimer(m_window.Handle(), TimerId);
}

void TTimer::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t value)
{
    if (value == m_interval)
        return;
    m_interval = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent e)
{
    // Always re-armed, so that the period starts again from now.
    m_onTimer = e;
    UpdateTimer();
}

// Every arming restarts the period from this moment.
void TTimer::UpdateTimer()
{
    KillTimer(m_window.Handle(), TimerId);
    if (m_interval != 0 && m_enabled && m_onTimer) {
        if (!SetTimer(m_window.Handle(), TimerId, m_interval, nullptr))
            throw EOutOfResources(StrId::SNoTimers);
    }
}

void TTimer::Timer()
{
    m_onTimer(this);
}

LRESULT TTimer::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_TIMER)
        return DefWindowProcA(m_window.Handle(), msg, wParam, lParam);
    if (wParam == TimerId)
        Timer();
    return 0;
}
