#include "ui/FrmPreview.h"

#include "document/Document.h"
#include "engine/DrawEffect.h"
#include "settings/EffectControls.h"
#include "settings/FitToPhoto.h"
#include "settings/ProgramOptions.h"
#include "ui/BusyCursor.h"
#include "ui/Cursors.h"
#include "ui/PaintBox.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>

// The preview area shows the picture at actual size, one picture pixel on
// one device pixel, from the scroll position; what lies beyond the picture
// shows the dialog's face colour.

const QImage& TFrmPreview::AreaImage() const { return PreviewArea->Screen(); }
int TFrmPreview::ScrollLeft() const { return HorzScrollBar->value(); }
int TFrmPreview::ScrollTop() const { return VertScrollBar->value(); }

void TFrmPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || PreviewEffect)
        return;
    Closing = false;
    ConfirmedFlag = false;
    TBusyCursor busy;
    Showing = true;
    // Cancel brings this picture back.
    Document.SketchWork = Document.SourceBitmap;
    for (TTrackSpin* pair : Pairs)
        pair->ResetHandled();
    PreviewEffect = std::make_unique<TDrawEffect>();
    // A slider move recomputes only what it changes.
    PreviewEffect->SetCaching(true);
    PreviewBitmap = TBitmap();
    SetupPreviewScroll();
    // The effect is computed from what the view shows, at full size until
    // the Image Size tab reduces it, and previewed once when all is set.
    ShowFullSize();
    if (FitOnShow) {
        FitOnShow = false;
        Record = FitToPhoto(Record, Document.SourceBitmap);
        ShowRecord();
    }
    Showing = false;
    RenderPreview();
}

void TFrmPreview::done(int result)
{
    if (PreviewEffect) {
        if (result != QDialog::Accepted) {
            ConfirmedFlag = false;
            Document.SourceBitmap = Document.SketchWork;
        }
        PreviewEffect.reset();
        PreviewBitmap = TBitmap();
        Closing = true;
        Options.LastTop = y();
        Options.LastLeft = x();
        Options.LastWidth = width();
        Options.LastHeight = height();
    }
    QDialog::done(result);
}

void TFrmPreview::RenderPreview()
{
    if (!isVisible() || !PreviewEffect || Showing || Closing)
        return;
    if (!Chk_DrawSketch->isChecked() && !Chk_DrawColor->isChecked()) {
        DrawUnprocessed();
        return;
    }
    const TBitmap& picture = Document.SourceBitmap;
    const QSize area = PreviewArea->DeviceSize();
    TakeControls(Record);
    Record.Left = ScrollLeft();
    Record.Top = ScrollTop();
    Record.Width = std::min(picture.Width(), area.width());
    Record.Height = std::min(picture.Height(), area.height());
    Record.WhiteLevel = WhiteLevelOfThreshold(Pairs[3]->Value());
    Record.ScanFromOrigin = 1;
    PreviewEffect->SetSettings(Record, &picture);
    PreviewEffect->Render();
    PreviewEffect->DrawBlended(PreviewBitmap);
    ShowPicture(PreviewBitmap, 0, 0);
}

void TFrmPreview::DrawUnprocessed() { ShowPicture(Document.SourceBitmap, ScrollLeft(), ScrollTop()); }

void TFrmPreview::ShowPicture(const TBitmap& picture, int left, int top)
{
    QImage& screen = PreviewArea->Screen();
    PreviewArea->ClearToFace(screen.rect());
    const int w = std::clamp(picture.Width() - left, 0, screen.width());
    const int h = std::clamp(picture.Height() - top, 0, screen.height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = picture.ScanLine(top + y) + std::size_t(left) * 3;
        auto* to = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = 0; x < w; ++x, from += 3)
            to[x] = qRgb(from[2], from[1], from[0]);
    }
    PreviewArea->update();
}

void TFrmPreview::SetupPreviewScroll()
{
    const QSize area = PreviewArea->DeviceSize();
    const TBitmap& picture = Document.SourceBitmap;
    const auto setup = [](QScrollBar* bar, int pictureSize, int areaSize) {
        bar->setValue(0);
        const bool scrolls = areaSize < pictureSize;
        bar->setRange(0, scrolls ? pictureSize - areaSize : 0);
        bar->setPageStep(std::max(1, areaSize));
        bar->setEnabled(scrolls);
    };
    setup(HorzScrollBar, picture.Width(), area.width());
    setup(VertScrollBar, picture.Height(), area.height());
    const bool scrolls = HorzScrollBar->isEnabled() || VertScrollBar->isEnabled();
    PreviewArea->setCursor(scrolls ? CursorFor(crHandGrab) : QCursor(Qt::ArrowCursor));
}

void TFrmPreview::PaintBoxResized()
{
    if (Closing || !PreviewEffect)
        return;
    SetupPreviewScroll();
    RenderPreview();
}

void TFrmPreview::PointerPressed(QPoint position)
{
    GrabX = position.x();
    GrabY = position.y();
}

void TFrmPreview::PointerMoved(QPoint position, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton))
        return;
    // The picture follows the pointer; a move that would pass an edge is
    // not taken, so the position stays at the last one inside the range.
    bool moved = false;
    if (HorzScrollBar->isEnabled()) {
        const int next = GrabX + HorzScrollBar->value() - position.x();
        if (next >= 0 && next <= HorzScrollBar->maximum()) {
            HorzScrollBar->setValue(next);
            GrabX = position.x();
            moved = true;
        }
    }
    if (VertScrollBar->isEnabled()) {
        const int next = GrabY + VertScrollBar->value() - position.y();
        if (next >= 0 && next <= VertScrollBar->maximum()) {
            VertScrollBar->setValue(next);
            GrabY = position.y();
            moved = true;
        }
    }
    if (moved)
        DrawUnprocessed();
}
