#include "Tools.h"

#include "ColorSwatch.h"
#include "Icons.h"
#include "Message.h"

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

// Two columns: the hand and the dropper first, then the tools in pairs.
constexpr std::array<int, 14> PaletteOrder{41, 42, 1, 2, 3, 4, 5, 6, 23, 24, 27, 28, 29, 30};

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
    switch (toolCode) {
    case 1: return tr("Pencil");
    case 2: return tr("Brush");
    case 3: return tr("Eraser");
    case 4: return tr("Paint Bucket");
    case 5: return tr("Lighten Tool");
    case 6: return tr("Darken Tool");
    case 23: return tr("Rectangle");
    case 24: return tr("Ellipse");
    case 27: return tr("Text");
    case 28: return tr("Text Balloon (Rectangle)");
    case 29: return tr("Text Balloon (Rounded Rectangle)");
    case 30: return tr("Text Balloon (Ellipse)");
    case 41: return tr("Hand");
    case 42: return tr("Color Dropper");
    default: return {};
    }
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
    auto named = [this](int code, const char* name) {
        QToolButton* button = ButtonOf(code);
        button->setObjectName(name);
        return button;
    };
    BtnGrabber = named(41, "BtnGrabber");
    BtnEyedropper = named(42, "BtnEyedropper");
    BtnPencil = named(1, "BtnPencil");
    BtnBrush = named(2, "BtnBrush");
    BtnEraser = named(3, "BtnEraser");
    BtnPaintbucket = named(4, "BtnPaintbucket");
    BtnLighting = named(5, "BtnLighting");
    BtnDarken = named(6, "BtnDarken");
    BtnRectangle = named(23, "BtnRectangle");
    BtnEllipse = named(24, "BtnEllipse");
    BtnText = named(27, "BtnText");
    BtnTxtBalloonA = named(28, "BtnTxtBalloonA");
    BtnTxtBalloonB = named(29, "BtnTxtBalloonB");
    BtnTxtBalloonC = named(30, "BtnTxtBalloonC");
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

QToolButton* TFrmTools::ButtonOf(int toolCode) const
{
    return static_cast<QToolButton*>(ToolGroup->button(toolCode));
}

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
        button->setEnabled(enabled || ToolGroup->id(button) == HandTool);
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
    if (toolCode == HandTool) {
        Current = HandTool;
        emit ToolChosen(HandTool);
        return;
    }
    // The other tools are not built yet: the pressed button goes back up.
    SetCurrentTool(Current);
    ShowMessage(this, tr("%1 is not available yet.").arg(ToolName(toolCode)));
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
