#include "ui/FrmPreview.h"

#include "document/Document.h"
#include "settings/Resample.h"
#include "ui/PreviewRenderer.h"
#include "ui/SpinEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <cstdint>

// The Image Size tab reduces the working picture from the view picture
// captured when the dialog was shown. Width, height and scale follow one
// another: a value the dialog writes into one of them is not applied again.

namespace {

// w x other div full, at least 1 so that a reduction never has no pixels.
int Proportional(int value, int other, int full) { return std::max(1, int(std::int64_t(value) * other / full)); }

} // namespace

QWidget* TFrmPreview::CreateImageSizeTab()
{
    auto* page = new QWidget;
    page->setObjectName("TsImageSize");
    Lbl_Original = new QLabel(page);
    Lbl_Original->setObjectName("Lbl_Original");
    auto* width = new QLabel(tr("Width:"), page);
    Spn_Width = new TSpinEdit(page);
    Spn_Width->setObjectName("Spn_Width");
    Spn_Width->SetRange(0, 0);
    width->setBuddy(Spn_Width);
    auto* height = new QLabel(tr("Height:"), page);
    Spn_Height = new TSpinEdit(page);
    Spn_Height->setObjectName("Spn_Height");
    Spn_Height->SetRange(0, 0);
    height->setBuddy(Spn_Height);
    auto* scale = new QLabel(tr("Scale:"), page);
    Trc_ImageSize = new QSlider(Qt::Horizontal, page);
    Trc_ImageSize->setObjectName("Trc_ImageSize");
    Trc_ImageSize->setRange(1, 100);
    Trc_ImageSize->setValue(100);
    Trc_ImageSize->setPageStep(10);
    scale->setBuddy(Trc_ImageSize);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Lbl_Original, 0, 0, 1, 3);
    grid->addWidget(width, 1, 0);
    grid->addWidget(Spn_Width, 1, 1);
    grid->addWidget(height, 2, 0);
    grid->addWidget(Spn_Height, 2, 1);
    grid->addWidget(scale, 3, 0);
    grid->addWidget(Trc_ImageSize, 3, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    connect(Spn_Width, &TSpinEdit::TextEdited, this, &TFrmPreview::Spn_WidthChange);
    connect(Spn_Height, &TSpinEdit::TextEdited, this, &TFrmPreview::Spn_HeightChange);
    connect(Trc_ImageSize, &QSlider::valueChanged, this, &TFrmPreview::Trc_ImageSizeChange);
    return page;
}

void TFrmPreview::ShowFullSize()
{
    ResampleSource = std::make_shared<const TResampleSource>(CaptureResampleSource(Document.ViewBitmap));
    FullWidth = Document.ViewBitmap.Width();
    FullHeight = Document.ViewBitmap.Height();
    Lbl_Original->setText(tr("Original Size: ") + QString::number(FullWidth) + " * " + QString::number(FullHeight));
    Spn_Width->SetRange(0, FullWidth);
    Spn_Height->SetRange(0, FullHeight);
    AppliedWidth = AppliedHeight = 0;
    if (FullWidth > 0 && FullHeight > 0)
        ApplyImageSize(FullWidth, FullHeight, true);
}

void TFrmPreview::Spn_WidthChange(const QString& text)
{
    if (text.trimmed().isEmpty() || FullWidth <= 0 || FullHeight <= 0)
        return;
    const int typed = Spn_Width->Value().value_or(0);
    const int w = std::min(typed, FullWidth);
    if (w != typed)
        Spn_Width->SetValue(w);
    if (w <= 0 || w == AppliedWidth)
        return;
    ApplyImageSize(w, Proportional(w, FullHeight, FullWidth), true);
}

void TFrmPreview::Spn_HeightChange(const QString& text)
{
    if (text.trimmed().isEmpty() || FullWidth <= 0 || FullHeight <= 0)
        return;
    const int typed = Spn_Height->Value().value_or(0);
    const int h = std::min(typed, FullHeight);
    if (h != typed)
        Spn_Height->SetValue(h);
    if (h <= 0 || h == AppliedHeight)
        return;
    ApplyImageSize(Proportional(h, FullWidth, FullHeight), h, true);
}

void TFrmPreview::Trc_ImageSizeChange(int position)
{
    if (SettingSize || FullWidth <= 0 || FullHeight <= 0)
        return;
    // 100 is the full size again: the slider's end means what it shows.
    const int w = Proportional(position, FullWidth, 100);
    const int h = Proportional(position, FullHeight, 100);
    if (w != AppliedWidth || h != AppliedHeight)
        ApplyImageSize(w, h, false);
}

void TFrmPreview::ApplyImageSize(int width, int height, bool moveSlider)
{
    AppliedWidth = width;
    AppliedHeight = height;
    SettingSize = true;
    if (Spn_Width->Value() != width)
        Spn_Width->SetValue(width);
    if (Spn_Height->Value() != height)
        Spn_Height->SetValue(height);
    if (moveSlider)
        Trc_ImageSize->setValue(int(std::int64_t(width) * 100 / FullWidth));
    SettingSize = false;

    // The 1:1 region keeps its place in the picture.
    const int oldWidth = Document.SourceBitmap.Width(), oldHeight = Document.SourceBitmap.Height();
    if (LookAt && oldWidth > 0 && oldHeight > 0)
        LookAt = QPoint(int(std::int64_t(LookAt->x()) * width / oldWidth),
                        int(std::int64_t(LookAt->y()) * height / oldHeight));
    // At full size the reduction would give back the view picture exactly.
    if (width == FullWidth && height == FullHeight)
        Document.SourceBitmap = Document.ViewBitmap;
    else
        ResampleTo(*ResampleSource, width, height, Document.SourceBitmap);
    StartRenderer();
    SetupPreviewScroll();
    ShowArea();
    RenderPreview();
}
