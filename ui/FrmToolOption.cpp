#include "ui/FrmToolOption.h"

#include "tools/ToolCodes.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ColorSampleSide = 90;

QGridLayout* Grid(QWidget* page) { return static_cast<QGridLayout*>(page->layout()); }

int NextRow(QWidget* page) { return Grid(page)->rowCount(); }

QToolButton* StyleToggle(QWidget* parent, const QString& name, const QString& letter, const QString& tip,
                         void (QFont::*apply)(bool))
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(letter);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setCheckable(true);
    button->setAutoRaise(true);
    QFont font = button->font();
    (font.*apply)(true);
    button->setFont(font);
    return button;
}

QToolButton* ActionButton(QWidget* parent, const QString& name, QStyle::StandardPixmap pixmap, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(pixmap, nullptr, parent));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    return button;
}

QLabel* Reading(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void FillSample(QFrame* sample, QColor color)
{
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, color);
    sample->setPalette(palette);
}

} // namespace

TFrmToolOption::TFrmToolOption(QWidget* owner)
    : TPanelWindow(tr("Tool Option"), owner)
{
    setObjectName("FrmToolOption");

    FontFamilies = QFontDatabase::families();
    std::sort(FontFamilies.begin(), FontFamilies.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    // The face the panel's own text is drawn with, as the font system
    // resolved it, so that it is a name the list holds.
    PanelFontFamily = QFontInfo(font()).family();

    Pages = new QStackedWidget(this);
    Pages->setObjectName("Pages");
    NoPage = new QWidget(Pages);
    NoPage->setObjectName("NoPage");
    Pages->addWidget(NoPage);

    BuildReadingPages();
    BuildStrokePages();
    BuildObjectPages();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Pages);

    Pages->setCurrentWidget(TsNormal);
    // Tall enough for a few lines more than the memos' minimum.
    resize(std::max(ColumnWidth(this), minimumSizeHint().width()),
           minimumSizeHint().height() + fontMetrics().lineSpacing() * 3);
}

QWidget* TFrmToolOption::AddPage(const char* name, const QString& caption)
{
    auto* page = new QWidget(Pages);
    page->setObjectName(name);
    page->setWindowTitle(caption);
    page->setAccessibleName(caption);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    auto* title = new QLabel(caption, page);
    title->setObjectName(QStringLiteral("Caption"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 3);
    Pages->addWidget(page);
    return page;
}

TTrackSpin* TFrmToolOption::AddPair(QWidget* page, const QString& name, const QString& caption, int minimum,
                                    int maximum, int value)
{
    auto* pair = new TTrackSpin(minimum, maximum, value, page, caption);
    pair->setObjectName(name);
    pair->Trc()->setObjectName("Trc" + name);
    pair->Spn()->setObjectName("Spn" + name);
    pair->AddToGrid(Grid(page), NextRow(page));
    return pair;
}

void TFrmToolOption::BuildReadingPages()
{
    TsNormal = AddPage("TsNormal", tr("Info"));
    LabInfoX = Reading(TsNormal, "LabInfoX", tr("X:"));
    LabInfoY = Reading(TsNormal, "LabInfoY", tr("Y:"));
    Grid(TsNormal)->addWidget(LabInfoX, NextRow(TsNormal), 0, 1, 3);
    Grid(TsNormal)->addWidget(LabInfoY, NextRow(TsNormal), 0, 1, 3);
    Grid(TsNormal)->setRowStretch(NextRow(TsNormal), 1);

    TsDropper = AddPage("TsDropper", tr("Color Dropper"));
    LabDropperX = Reading(TsDropper, "LabDropperX", tr("X:"));
    LabDropperY = Reading(TsDropper, "LabDropperY", tr("Y:"));
    LabDropperR = Reading(TsDropper, "LabDropperR", tr("R:"));
    LabDropperG = Reading(TsDropper, "LabDropperG", tr("G:"));
    LabDropperB = Reading(TsDropper, "LabDropperB", tr("B:"));
    ShpColor = new QFrame(TsDropper);
    ShpColor->setObjectName("ShpColor");
    ShpColor->setFrameStyle(QFrame::Box | QFrame::Plain);
    ShpColor->setFixedSize(ColorSampleSide, ColorSampleSide);
    ShpColor->setAutoFillBackground(true);
    FillSample(ShpColor, Qt::white);
    auto* readings = new QVBoxLayout;
    for (QLabel* label : {LabDropperX, LabDropperY, LabDropperR, LabDropperG, LabDropperB})
        readings->addWidget(label);
    readings->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addLayout(readings, 1);
    row->addWidget(ShpColor, 0, Qt::AlignTop);
    Grid(TsDropper)->addLayout(row, NextRow(TsDropper), 0, 1, 3);
    Grid(TsDropper)->setRowStretch(NextRow(TsDropper), 1);
}

void TFrmToolOption::BuildStrokePages()
{
    TsPencil = AddPage("TsPencil", tr("Pencil"));
    PencilSize = AddPair(TsPencil, "PencilSize", tr("Size:"), 1, 100, 1);

    TsBrush = AddPage("TsBrush", tr("Brush"));
    BrushSize = AddPair(TsBrush, "BrushSize", tr("Size:"), 1, 100, 20);
    BrushContent = AddPair(TsBrush, "BrushContent", tr("Content:"), 1, 6, 3);
    BrushOpacity = AddPair(TsBrush, "BrushOpacity", tr("Opacity:"), 1, 8, 8);
    // The brush starts at full opacity while its box shows 3, until the
    // user changes either control; the box takes up to 50, the track bar
    // stays at its end beyond 8.
    BrushOpacity->SetSpinRange(1, 50);
    BrushOpacity->Spn()->SetValue(3);

    TsEraser = AddPage("TsEraser", tr("Eraser"));
    EraserSize = AddPair(TsEraser, "EraserSize", tr("Size:"), 1, 100, 30);

    TsPaintBucket = AddPage("TsPaintBucket", tr("Paint Bucket"));
    Tolerance = AddPair(TsPaintBucket, "Tolerance", tr("Tolerance:"), 0, 128, 32);

    TsLightenTool = AddPage("TsLightenTool", tr("Lighten Tool"));
    LightenSize = AddPair(TsLightenTool, "LightenSize", tr("Size:"), 1, 100, 10);
    LightenContrast = AddPair(TsLightenTool, "LightenContrast", tr("Contrast:"), 0, 255, 128);

    TsDarkenTool = AddPage("TsDarkenTool", tr("Darken Tool"));
    DarkenSize = AddPair(TsDarkenTool, "DarkenSize", tr("Size:"), 1, 100, 10);
    DarkenContrast = AddPair(TsDarkenTool, "DarkenContrast", tr("Contrast:"), 0, 255, 128);

    for (QWidget* page : {TsPencil, TsBrush, TsEraser, TsPaintBucket, TsLightenTool, TsDarkenTool})
        Grid(page)->setRowStretch(NextRow(page), 1);

    // The tolerance shows in no outline, so it asks for no refresh.
    for (TTrackSpin* pair : {PencilSize, BrushSize, BrushContent, BrushOpacity, EraserSize, LightenSize,
                             LightenContrast, DarkenSize, DarkenContrast}) {
        // The first change of each setting is always handled.
        pair->ResetHandled();
        connect(pair, &TTrackSpin::Changed, this, &TFrmToolOption::ToolPreviewRefreshRequested);
    }
}

TObjectControls TFrmToolOption::AddObjectControls(QWidget* page, const QString& prefix, bool withBorder)
{
    TObjectControls c;
    QGridLayout* grid = Grid(page);
    if (withBorder) {
        auto* label = new QLabel(tr("Border Width:"), page);
        c.BorderWidth = new QSpinBox(page);
        c.BorderWidth->setObjectName("Spn" + prefix + "BorderW");
        c.BorderWidth->setRange(1, 10);
        c.BorderWidth->setValue(1);
        label->setBuddy(c.BorderWidth);
        const int row = NextRow(page);
        grid->addWidget(label, row, 0);
        grid->addWidget(c.BorderWidth, row, 1, Qt::AlignLeft);
    }

    c.FontName = new QComboBox(page);
    c.FontName->setObjectName("Cmb" + prefix + "FontName");
    c.FontName->setEditable(false);
    c.FontName->setMaxVisibleItems(10);
    c.FontName->setToolTip(tr("Font Name"));
    c.FontName->setStatusTip(tr("Select font name"));
    c.FontName->setAccessibleName(tr("Font Name"));
    c.FontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c.FontName->setMinimumContentsLength(8);
    c.FontName->addItems(FontFamilies);
    c.FontName->setCurrentIndex(FontFamilies.indexOf(PanelFontFamily));
    c.FontSize = new QSpinBox(page);
    c.FontSize->setObjectName("Spn" + prefix + "FontSize");
    c.FontSize->setRange(6, 1000);
    c.FontSize->setValue(12);
    c.FontSize->setToolTip(tr("Font Size"));
    c.FontSize->setAccessibleName(tr("Font Size"));
    const int fontRow = NextRow(page);
    grid->addWidget(c.FontName, fontRow, 0, 1, 2);
    grid->addWidget(c.FontSize, fontRow, 2);

    c.Bold = StyleToggle(page, "Btn" + prefix + "Bold", tr("B"), tr("Bold"), &QFont::setBold);
    c.Italic = StyleToggle(page, "Btn" + prefix + "Italic", tr("I"), tr("Italic"), &QFont::setItalic);
    c.Underline = StyleToggle(page, "Btn" + prefix + "Underline", tr("U"), tr("Underline"), &QFont::setUnderline);
    c.Cancel = ActionButton(page, "Btn" + prefix + "Cancel", QStyle::SP_DialogCancelButton, tr("Cancel"));
    c.Commit = ActionButton(page, "Btn" + prefix + "Commit", QStyle::SP_DialogApplyButton, tr("Commit"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* b : {c.Bold, c.Italic, c.Underline})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(c.Cancel);
    buttons->addWidget(c.Commit);
    grid->addLayout(buttons, NextRow(page), 0, 1, 3);

    c.Text = new QPlainTextEdit(page);
    c.Text->setObjectName("Mem" + prefix + "Text");
    c.Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    c.Text->setAccessibleName(tr("Text"));
    c.Text->setTabChangesFocus(true);
    // Room for four lines; the memo grows with the panel.
    c.Text->setMinimumHeight(c.Text->fontMetrics().lineSpacing() * 4 + 2 * c.Text->frameWidth() + 8);
    const int memoRow = NextRow(page);
    grid->addWidget(c.Text, memoRow, 0, 1, 3);
    grid->setRowStretch(memoRow, 1);

    const auto refresh = [this] { emit ToolPreviewRefreshRequested(); };
    if (c.BorderWidth)
        connect(c.BorderWidth, &QSpinBox::valueChanged, this, refresh);
    connect(c.FontName, &QComboBox::currentIndexChanged, this, refresh);
    connect(c.FontSize, &QSpinBox::valueChanged, this, refresh);
    for (QToolButton* b : {c.Bold, c.Italic, c.Underline})
        connect(b, &QToolButton::toggled, this, refresh);
    connect(c.Text, &QPlainTextEdit::textChanged, this, refresh);
    connect(c.Commit, &QToolButton::clicked, this, &TFrmToolOption::CommitRequested);
    connect(c.Cancel, &QToolButton::clicked, this, &TFrmToolOption::CancelRequested);
    return c;
}

void TFrmToolOption::BuildObjectPages()
{
    TsRectangle = AddPage("TsRectangle", tr("Rectangle"));
    RectControls = AddObjectControls(TsRectangle, "Rect", true);
    TsEllipse = AddPage("TsEllipse", tr("Ellipse"));
    EllipseControls = AddObjectControls(TsEllipse, "Ellipse", true);
    TsText = AddPage("TsText", tr("Text"));
    TextControls = AddObjectControls(TsText, "Text", false);
    TsBalloonA = AddPage("TsBalloonA", tr("Text Balloon"));
    BalloonControls = AddObjectControls(TsBalloonA, "Balloon", true);
}

void TFrmToolOption::ShowPage(int toolCode)
{
    QWidget* page = NoPage;
    if (const TToolInfo* info = FindTool(toolCode)) {
        switch (info->Page) {
        case TOptionPage::Normal: page = TsNormal; break;
        case TOptionPage::Pencil: page = TsPencil; break;
        case TOptionPage::Brush: page = TsBrush; break;
        case TOptionPage::Eraser: page = TsEraser; break;
        case TOptionPage::PaintBucket: page = TsPaintBucket; break;
        case TOptionPage::Lighten: page = TsLightenTool; break;
        case TOptionPage::Darken: page = TsDarkenTool; break;
        case TOptionPage::Rectangle: page = TsRectangle; break;
        case TOptionPage::Ellipse: page = TsEllipse; break;
        case TOptionPage::Text: page = TsText; break;
        case TOptionPage::Balloon: page = TsBalloonA; break;
        case TOptionPage::Dropper: page = TsDropper; break;
        }
    }
    Pages->setCurrentWidget(page);
}

QWidget* TFrmToolOption::CurrentPage() const
{
    QWidget* page = Pages->currentWidget();
    return page == NoPage ? nullptr : page;
}

QString TFrmToolOption::PageCaption(const QWidget* page) { return page ? page->windowTitle() : QString(); }

void TFrmToolOption::SetPointerInfo(int x, int y)
{
    LabInfoX->setText(tr("X: %1").arg(x));
    LabInfoY->setText(tr("Y: %1").arg(y));
}

void TFrmToolOption::SetDropperReading(int x, int y, QColor color)
{
    color = color.toRgb();
    LabDropperX->setText(tr("X: %1").arg(x));
    LabDropperY->setText(tr("Y: %1").arg(y));
    LabDropperR->setText(tr("R: %1").arg(color.red()));
    LabDropperG->setText(tr("G: %1").arg(color.green()));
    LabDropperB->setText(tr("B: %1").arg(color.blue()));
    FillSample(ShpColor, color);
}
