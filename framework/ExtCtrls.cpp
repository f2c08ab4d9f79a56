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
        .Property<&TImage::Align, &TImage::SetAlign>("Align", alNone)
        .Property<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize", false)
        .Property<&TImage::Center, &TImage::SetCenter>("Center", false)
        .Property<&TImage::DragCursor, &TImage::SetDragCursor>("DragCursor", static_cast<TCursor>(-12))
        .Property<&TImage::DragMode, &TImage::SetDragMode>("DragMode", dmManual)
        .Property<&TImage::Enabled, &TImage::SetEnabled>("Enabled", true)
        .Property<&TImage::ParentShowHint, &TImage::SetParentShowHint>("ParentShowHint", true)
        .Property<&TImage::Picture, &TImage::SetPicture>("Picture")
        .Property<&TImage::PopupMenu, &TImage::SetPopupMenu>("PopupMenu")
        .Property<&TImage::ShowHint, &TImage::SetShowHint>("ShowHint", false)
        .Property<&TImage::Stretch, &TImage::SetStretch>("Stretch", false)
        .Property<&TImage::Visible, &TImage::SetVisible>("Visible", true)
        .Property<&TImage::OnClick, &TImage::SetOnClick>("OnClick")
        .Property<&TImage::OnDblClick, &TImage::SetOnDblClick>("OnDblClick")
        .Property<&TImage::OnDragDrop, &TImage::SetOnDragDrop>("OnDragDrop")
        .Property<&TImage::OnDragOver, &TImage::SetOnDragOver>("OnDragOver")
        .Property<&TImage::OnEndDrag, &TImage::SetOnEndDrag>("OnEndDrag")
        .Property<&TImage::OnMouseDown, &TImage::SetOnMouseDown>("OnMouseDown")
        .Property<&TImage::OnMouseMove, &TImage::SetOnMouseMove>("OnMouseMove")
        .Property<&TImage::OnMouseUp, &TImage::SetOnMouseUp>("OnMouseUp")
        .Property<&TImage::OnStartDrag, &TImage::SetOnStartDrag>("OnStartDrag")
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
    Changed();
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

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

void TTimer::SetEnabled(bool value)
{
    m_enabled = value;
}

void TTimer::SetInterval(uint32_t value)
{
    m_interval = value;
}

void TTimer::SetOnTimer(TNotifyEvent e)
{
    m_onTimer = e;
}
