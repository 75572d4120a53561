#include "ui/FrmTools.h"

#include "ui/ColorSwatch.h"
#include "ui/Icons.h"
#include "ui/Message.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QColorDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

// Two columns, in the order of the tool table: the hand and the dropper
// first, then the tools in pairs.
constexpr std::array<int, 14> PaletteOrder = [] {
    std::array<int, 14> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = int(PaletteTools()[i].Code);
    return codes;
}();

std::optional<QColor> AskForColor(QWidget* parent, QColor initial, const QString& title)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, title);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace

std::span<const int> TFrmTools::ToolCodes() { return PaletteOrder; }

QString TFrmTools::ToolName(int toolCode)
{
    const TToolInfo* info = FindTool(toolCode);
    return info ? tr(info->Name) : QString();
}

TFrmTools::TFrmTools(QWidget* owner)
    : TPanelWindow(tr("Tools"), owner)
    , ChooseColor(AskForColor)
{
    setObjectName("FrmTools");

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->installEventFilter(this);
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setExclusive(true);

    const int iconSide = std::max(24, fontMetrics().height() + 8);
    auto* grid = new QGridLayout(GroupBox1);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    for (std::size_t i = 0; i < PaletteOrder.size(); ++i) {
        const int code = PaletteOrder[i];
        auto* button = new QToolButton(GroupBox1);
        if (const std::optional<TIcon> icon = ToolIcon(code))
            button->setIcon(IconFor(*icon));
        button->setIconSize(QSize(iconSide, iconSide));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolTip(ToolName(code));
        button->setAccessibleName(ToolName(code));
        button->setEnabled(false);
        // A disabled button takes the clicks on it, so that they do not fall
        // through to what lies behind; the palette watches for them.
        button->installEventFilter(this);
        ToolGroup->addButton(button, code);
        grid->addWidget(button, int(i / 2), int(i % 2));
    }
    for (const TToolInfo& info : PaletteTools())
        ButtonOf(int(info.Code))->setObjectName(info.Button);
    const auto button = [this](TToolCode code) { return ButtonOf(int(code)); };
    BtnGrabber = button(TToolCode::Hand);
    BtnEyedropper = button(TToolCode::Dropper);
    BtnPencil = button(TToolCode::Pencil);
    BtnBrush = button(TToolCode::Brush);
    BtnEraser = button(TToolCode::Eraser);
    BtnPaintbucket = button(TToolCode::PaintBucket);
    BtnLighting = button(TToolCode::Lighten);
    BtnDarken = button(TToolCode::Darken);
    BtnRectangle = button(TToolCode::Rectangle);
    BtnEllipse = button(TToolCode::Ellipse);
    BtnText = button(TToolCode::Text);
    BtnTxtBalloonA = button(TToolCode::BalloonRect);
    BtnTxtBalloonB = button(TToolCode::BalloonRounded);
    BtnTxtBalloonC = button(TToolCode::BalloonEllipse);
    BtnGrabber->setChecked(true);

    // The two colours overlap, the front one on top, as painters know them.
    auto* colors = new QWidget(this);
    colors->setObjectName("Colors");
    FrontColor = new TColorSwatch(Qt::black, colors);
    FrontColor->setObjectName("FrontColor");
    FrontColor->setToolTip(tr("Front color"));
    FrontColor->setAccessibleName(tr("Front color"));
    BackColor = new TColorSwatch(Qt::white, colors);
    BackColor->setObjectName("BackColor");
    BackColor->setToolTip(tr("Back color"));
    BackColor->setAccessibleName(tr("Back color"));
    const int side = FrontColor->sizeHint().width();
    const int offset = side * 3 / 5;
    BackColor->setGeometry(offset, offset, side, side);
    FrontColor->setGeometry(0, 0, side, side);
    FrontColor->raise();
    colors->setFixedSize(side + offset, side + offset);
    setTabOrder(FrontColor, BackColor);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(GroupBox1);
    layout->addSpacing(4);
    layout->addWidget(colors, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ToolGroup, &QButtonGroup::idClicked, this, &TFrmTools::ToolButtonClick);
    connect(FrontColor, &TColorSwatch::Pressed, this, [this] { SwatchPressed(FrontColor, tr("Front Color")); });
    connect(BackColor, &TColorSwatch::Pressed, this, [this] { SwatchPressed(BackColor, tr("Back Color")); });
}

QToolButton* TFrmTools::ButtonOf(int toolCode) const { return static_cast<QToolButton*>(ToolGroup->button(toolCode)); }

void TFrmTools::EnableDrawTools()
{
    State = TPaletteState::Ready;
    SetToolsEnabled(true);
}

void TFrmTools::DisableDrawTools()
{
    State = TPaletteState::ZoomTooSmall;
    SetToolsEnabled(false);
}

void TFrmTools::SetToolsEnabled(bool enabled)
{
    for (QAbstractButton* button : ToolGroup->buttons())
        button->setEnabled(enabled || ToolGroup->id(button) == int(TToolCode::Hand));
}

void TFrmTools::SetCurrentTool(int toolCode)
{
    QToolButton* button = ButtonOf(toolCode);
    if (!button)
        return;
    // Checking a button programmatically emits only toggled, which nothing
    // here listens to.
    button->setChecked(true);
    Current = toolCode;
}

QColor TFrmTools::FrontColorValue() const { return FrontColor->Color(); }
QColor TFrmTools::BackColorValue() const { return BackColor->Color(); }
void TFrmTools::SetFrontColor(QColor color) { FrontColor->SetColor(color); }
void TFrmTools::SetBackColor(QColor color) { BackColor->SetColor(color); }

void TFrmTools::SetColorChooser(TColorChooser chooser) { ChooseColor = chooser ? std::move(chooser) : AskForColor; }

void TFrmTools::ToolButtonClick(int toolCode)
{
    Current = toolCode;
    emit ToolChosen(toolCode);
}

void TFrmTools::SwatchPressed(TColorSwatch* swatch, const QString& title)
{
    const std::optional<QColor> chosen = ChooseColor(this, swatch->Color(), title);
    if (!chosen || !chosen->isValid())
        return;
    swatch->SetColor(*chosen);
    emit ToolPreviewRefreshRequested();
}

bool TFrmTools::eventFilter(QObject* watched, QEvent* event)
{
    // A click on a disabled tool button, or beside the buttons, says why the
    // tools cannot be used.
    const auto* widget = qobject_cast<QWidget*>(watched);
    const bool onPalette = watched == GroupBox1 || (widget && !widget->isEnabled());
    if (onPalette && event->type() == QEvent::MouseButtonPress) {
        if (State == TPaletteState::NoPicture)
            ShowMessage(this, tr("You haven't opened a picture."));
        else if (State == TPaletteState::ZoomTooSmall)
            ShowMessage(this, tr("When the Zoom Rate < 100%, you can not use draw tools."));
    }
    return TPanelWindow::eventFilter(watched, event);
}
