#include "ui/FrmPreview.h"

#include "document/Document.h"
#include "settings/EffectControls.h"
#include "settings/FitToPhoto.h"
#include "settings/ProgramOptions.h"
#include "ui/BusyCursor.h"
#include "ui/PaintBox.h"
#include "ui/PreviewGeometry.h"
#include "ui/PreviewRenderer.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QShowEvent>

#include <algorithm>

// The frames are computed by a renderer of the working picture on threads of
// its own and arrive here through the window's event queue; the area shows
// the newest that has arrived. At 1:1 the scroll position is the picture
// pixel at the area's top-left corner.

const QImage& TFrmPreview::AreaImage() const { return PreviewArea->Screen(); }
int TFrmPreview::ScrollLeft() const { return HorzScrollBar->value(); }
int TFrmPreview::ScrollTop() const { return VertScrollBar->value(); }

void TFrmPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || Live)
        return;
    Live = true;
    // Placed again now that its own frame is known: on the screen whole.
    PlaceWindow();
    Closing = false;
    ConfirmedFlag = false;
    TBusyCursor busy;
    Showing = true;
    // Cancel brings this picture back.
    Document.SketchWork = Document.SourceBitmap;
    for (TTrackSpin* pair : Pairs)
        pair->ResetHandled();
    PreviewBitmap = TBitmap();
    ShownNumber = Requested;
    ShownExact = ShownFit = false;
    ShownReduced.reset();
    // The effect is computed from what the view shows, at full size until
    // the Image Size tab reduces it, and previewed once when all is set.
    ShowFullSize();
    if (FitOnShow) {
        FitOnShow = false;
        Record = FitToPhoto(Record, Document.SourceBitmap);
        ShowRecord();
    }
    Showing = false;
    ShowViewState();
    RenderPreview();
}

void TFrmPreview::done(int result)
{
    if (Live) {
        // Cancels what is under way and waits only for its threads to see it.
        Renderer.reset();
        Live = false;
        if (result != QDialog::Accepted) {
            ConfirmedFlag = false;
            Document.SourceBitmap = Document.SketchWork;
        }
        PreviewBitmap = TBitmap();
        ShownReduced.reset();
        OriginalHeld = RightHeld = DraggingDivider = Dragging = false;
        Closing = true;
        Options.LastTop = y();
        Options.LastLeft = x();
        Options.LastWidth = width();
        Options.LastHeight = height();
    }
    QDialog::done(result);
}

void TFrmPreview::StartRenderer()
{
    // The renderer reads its own copy: the document's picture may change
    // while a frame is computed (another size, Cancel).
    auto picture = std::make_shared<const TBitmap>(Document.SourceBitmap);
    Renderer.reset();
    const int run = ++RendererRun;
    Renderer = std::make_unique<TPreviewRenderer>(
        std::move(picture), ResampleSource, [this, run](std::shared_ptr<TPreviewFrame> frame) {
            QMetaObject::invokeMethod(
                this, [this, run, frame] { FrameArrived(run, frame); }, Qt::QueuedConnection);
        });
    // What is shown belongs to the picture before.
    ShownNumber = Requested;
    ShownExact = false;
    PreviewBitmap = TBitmap();
    ShownReduced.reset();
}

void TFrmPreview::RenderPreview()
{
    if (!isVisible() || !Live || !Renderer || Showing || Closing)
        return;
    const bool effect = Chk_DrawSketch->isChecked() || Chk_DrawColor->isChecked();
    // Without an effect the 1:1 view is the photo itself; the fit view still
    // needs its reduced copy.
    if (!effect && !InFitView()) {
        ShownNumber = Requested;
        DrawUnprocessed();
        return;
    }
    const TBitmap& picture = Document.SourceBitmap;
    const QSize area = PreviewArea->DeviceSize();
    if (effect) {
        TakeControls(Record);
        Record.Left = ScrollLeft();
        Record.Top = ScrollTop();
        Record.Width = std::min(picture.Width(), area.width());
        Record.Height = std::min(picture.Height(), area.height());
        Record.WhiteLevel = WhiteLevelOfThreshold(Pairs[3]->Value());
        Record.ScanFromOrigin = 1;
    }
    TPreviewRequest request;
    request.Number = ++Requested;
    request.Settings = Record;
    request.Settings.DrawSketch = Chk_DrawSketch->isChecked() ? 1 : 0;
    request.Settings.DrawColor = Chk_DrawColor->isChecked() ? 1 : 0;
    if (InFitView()) {
        const QSize fit = FitSize(QSize(picture.Width(), picture.Height()), area);
        request.Fit = true;
        request.FitWidth = fit.width();
        request.FitHeight = fit.height();
    }
    Renderer->Request(request);
    ShowViewState();
}

void TFrmPreview::FrameArrived(int run, const std::shared_ptr<TPreviewFrame>& frame)
{
    // The exact frame of a request follows its approximate one.
    const bool newer = frame->Number > ShownNumber || (frame->Number == ShownNumber && frame->Exact && !ShownExact);
    if (run != RendererRun || !Live || !newer)
        return;
    ShownNumber = frame->Number;
    PreviewBitmap = std::move(frame->Pixels);
    ShownRegion = frame->Region;
    ShownExact = frame->Exact;
    ShownFit = frame->Fit;
    ShownReduced = frame->Reduced;
    ShowArea();
    ShowViewState();
}

void TFrmPreview::DrawUnprocessed() { ShowArea(); }

void TFrmPreview::SetupPreviewScroll()
{
    const QSize area = PreviewArea->DeviceSize();
    const TBitmap& picture = Document.SourceBitmap;
    const auto setup = [](QScrollBar* bar, int pictureSize, int areaSize, std::optional<int> centre) {
        const bool scrolls = areaSize < pictureSize;
        bar->setRange(0, scrolls ? pictureSize - areaSize : 0);
        bar->setPageStep(std::max(1, areaSize));
        bar->setEnabled(scrolls);
        bar->setValue(centre ? CentredScroll(*centre, areaSize, pictureSize) : 0);
    };
    setup(HorzScrollBar, picture.Width(), area.width(), LookAt ? std::optional(LookAt->x()) : std::nullopt);
    setup(VertScrollBar, picture.Height(), area.height(), LookAt ? std::optional(LookAt->y()) : std::nullopt);
    ShowAreaCursor(QPoint(-1, -1));
}

void TFrmPreview::PaintBoxResized()
{
    if (Closing || !Live)
        return;
    SetupPreviewScroll();
    ShowArea();
    RenderPreview();
}

void TFrmPreview::PointerPressed(QPoint position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        RightHeld = true;
        ShowArea();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    PressedAt = position;
    if (NearDivider(position)) {
        DraggingDivider = true;
        return;
    }
    GrabX = position.x();
    GrabY = position.y();
    PressedScroll = QPoint(ScrollLeft(), ScrollTop());
    Dragging = !InFitView();
}

void TFrmPreview::PointerMoved(QPoint position, Qt::MouseButtons buttons)
{
    if (DraggingDivider) {
        const int width = std::max(PreviewArea->DeviceSize().width(), 1);
        SplitAt = std::clamp(double(position.x()) / width, 0.0, 1.0);
        ShowArea();
        return;
    }
    if (!(buttons & Qt::LeftButton) || !Dragging) {
        ShowAreaCursor(position);
        return;
    }
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
    if (moved) {
        const QSize area = PreviewArea->DeviceSize();
        LookAt = QPoint(ScrollLeft() + area.width() / 2, ScrollTop() + area.height() / 2);
        ShowArea();
    }
}

void TFrmPreview::PointerReleased(QPoint position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        RightHeld = false;
        ShowArea();
        return;
    }
    if (DraggingDivider) {
        DraggingDivider = false;
        return;
    }
    const bool click = (position - PressedAt).manhattanLength() <= 4;
    if (button == Qt::LeftButton && InFitView() && click) {
        // The whole picture was a map: 1:1 opens where it was clicked.
        const TBitmap& picture = Document.SourceBitmap;
        const QSize whole(picture.Width(), picture.Height()), area = PreviewArea->DeviceSize();
        LookAt = FitToPicture(position, whole, FitSize(whole, area), area);
        SetFitView(false);
        return;
    }
    if (!Dragging)
        return;
    Dragging = false;
    // A click that moved nothing leaves the frame as it is.
    if (QPoint(ScrollLeft(), ScrollTop()) != PressedScroll)
        RenderPreview();
    else
        ShowArea();
}
