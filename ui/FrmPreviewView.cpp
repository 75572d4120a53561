#include "ui/FrmPreview.h"

#include "document/Document.h"
#include "ui/Cursors.h"
#include "ui/PaintBox.h"
#include "ui/PreviewGeometry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

// What the area shows: at 1:1 the working picture from the scroll position,
// in Fit the reduced copy of the whole picture, centred; in either the effect,
// the photo (the Original button held or the right button pressed), or the
// photo left of the split view's divider and the effect right of it.

namespace {

// How near the divider (logical pixels) a press takes it rather than the
// picture.
constexpr double DividerGrip = 5;

QToolButton* ViewButton(const QString& caption, const char* name, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

QWidget* TFrmPreview::CreateViewBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName("ViewBar");
    Btn_ViewFit = ViewButton(tr("Fit"), "Btn_ViewFit",
                             tr("The whole picture, computed on a reduced copy: close to the result, not exact. Click "
                                "a place to see it at 1:1."),
                             bar);
    Btn_ViewActual =
        ViewButton(tr("1:1"), "Btn_ViewActual", tr("Actual pixels, exactly as the result will have them"), bar);
    for (QToolButton* b : {Btn_ViewFit, Btn_ViewActual})
        b->setCheckable(true);
    Btn_ViewActual->setChecked(true);
    auto* views = new QButtonGroup(bar);
    views->setExclusive(true);
    views->addButton(Btn_ViewFit);
    views->addButton(Btn_ViewActual);
    Btn_ViewSplit = ViewButton(tr("Split"), "Btn_ViewSplit",
                               tr("The photo left of the divider, the effect right of it; drag the divider"), bar);
    Btn_ViewSplit->setCheckable(true);
    Btn_Original = ViewButton(tr("Original"), "Btn_Original",
                              tr("Shows the photo while held down (or while the right mouse button is pressed on "
                                 "the picture)"),
                              bar);
    Lbl_ViewState = new QLabel(bar);
    Lbl_ViewState->setObjectName("Lbl_ViewState");

    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(Btn_ViewFit);
    row->addWidget(Btn_ViewActual);
    row->addSpacing(8);
    row->addWidget(Btn_ViewSplit);
    row->addWidget(Btn_Original);
    row->addSpacing(8);
    row->addWidget(Lbl_ViewState, 1);

    connect(Btn_ViewFit, &QToolButton::clicked, this, [this] { SetFitView(true); });
    connect(Btn_ViewActual, &QToolButton::clicked, this, [this] { SetFitView(false); });
    connect(Btn_ViewSplit, &QToolButton::toggled, this, [this](bool on) {
        Split = on;
        ShowArea();
    });
    connect(Btn_Original, &QToolButton::pressed, this, [this] {
        OriginalHeld = true;
        ShowArea();
    });
    connect(Btn_Original, &QToolButton::released, this, [this] {
        OriginalHeld = false;
        ShowArea();
    });
    return bar;
}

bool TFrmPreview::InFitView() const
{
    // A picture that fits into the area is shown whole at 1:1 already.
    const TBitmap& picture = Document.SourceBitmap;
    const QSize area = PreviewArea->DeviceSize();
    return FitView && (picture.Width() > area.width() || picture.Height() > area.height());
}

int TFrmPreview::SplitColumn() const { return int(std::lround(SplitAt * PreviewArea->DeviceSize().width())); }

void TFrmPreview::SetFitView(bool fit)
{
    FitView = fit;
    Btn_ViewFit->setChecked(fit);
    Btn_ViewActual->setChecked(!fit);
    if (!fit)
        SetupPreviewScroll();
    ShowArea();
    RenderPreview();
}

void TFrmPreview::DrawPicture(const TBitmap& picture, int left, int top, QPoint at, int x0, int x1)
{
    QImage& screen = PreviewArea->Screen();
    // Area columns [first, last) and rows [at.y, bottom) that the picture covers.
    const int first = std::max({x0, at.x(), 0});
    const int last = std::min({x1, screen.width(), at.x() + picture.Width() - left});
    const int bottom = std::min(screen.height(), at.y() + picture.Height() - top);
    for (int y = std::max(at.y(), 0); y < bottom; ++y) {
        const std::uint8_t* from = picture.ScanLine(top + y - at.y()) + std::size_t(left + first - at.x()) * 3;
        auto* to = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = first; x < last; ++x, from += 3)
            to[x] = qRgb(from[2], from[1], from[0]);
    }
}

void TFrmPreview::ShowArea()
{
    QImage& screen = PreviewArea->Screen();
    PreviewArea->ClearToFace(screen.rect());
    const int width = screen.width();
    const bool photoOnly = OriginalHeld || RightHeld;
    // The photo covers the columns left of `split`, the effect the rest.
    const int split = photoOnly ? width : Split ? SplitColumn() : 0;
    const bool effect = Chk_DrawSketch->isChecked() || Chk_DrawColor->isChecked();
    if (InFitView()) {
        if (ShownFit && ShownReduced) {
            const QPoint at = FitOrigin(QSize(ShownReduced->Width(), ShownReduced->Height()), screen.size());
            DrawPicture(*ShownReduced, 0, 0, at, 0, split);
            DrawPicture(PreviewBitmap, 0, 0, at, split, width);
        }
    } else {
        const TBitmap& picture = Document.SourceBitmap;
        const int left = ScrollLeft(), top = ScrollTop();
        const bool frame = effect && !Dragging && !ShownFit && !PreviewBitmap.Empty();
        // The photo first where the effect's frame may not reach: a frame
        // computed before a scroll covers only part of the area until the
        // next one comes.
        const bool covers = frame && ShownRegion.Left == left && ShownRegion.Top == top &&
                            ShownRegion.Width >= std::min(width, picture.Width() - left) &&
                            ShownRegion.Height >= std::min(screen.height(), picture.Height() - top);
        DrawPicture(picture, left, top, QPoint(0, 0), 0, covers ? split : width);
        if (frame)
            DrawPicture(PreviewBitmap, 0, 0, QPoint(ShownRegion.Left - left, ShownRegion.Top - top), split, width);
    }
    if (Split && !photoOnly) {
        // A white and a black column: seen on any picture.
        for (int y = 0; y < screen.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(screen.scanLine(y));
            if (split - 1 >= 0 && split - 1 < width)
                row[split - 1] = qRgb(255, 255, 255);
            if (split < width)
                row[split] = qRgb(0, 0, 0);
        }
    }
    PreviewArea->update();
}

void TFrmPreview::ShowViewState()
{
    QString state;
    const bool effect = Chk_DrawSketch->isChecked() || Chk_DrawColor->isChecked();
    // Short: at a large scale factor the bar is narrow.
    if (InFitView())
        state = tr("Approximate");
    else if (effect)
        state = ShowsExact() ? tr("Exact") : tr("Refining…");
    Lbl_ViewState->setText(state);
}

bool TFrmPreview::NearDivider(QPoint position) const
{
    const double grip = DividerGrip * PreviewArea->devicePixelRatioF();
    return Split && !OriginalHeld && !RightHeld && std::abs(position.x() - SplitColumn()) <= grip;
}

void TFrmPreview::ShowAreaCursor(QPoint position)
{
    if (NearDivider(position))
        PreviewArea->setCursor(Qt::SplitHCursor);
    else if (InFitView())
        PreviewArea->setCursor(Qt::PointingHandCursor);
    else if (HorzScrollBar->isEnabled() || VertScrollBar->isEnabled())
        PreviewArea->setCursor(CursorFor(crHandGrab));
    else
        PreviewArea->setCursor(QCursor(Qt::ArrowCursor));
}
