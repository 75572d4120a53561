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
constexpr std::array<TToolCode, PaletteTools().size()> PaletteOrder = [] {
    std::array<TToolCode, PaletteTools().size()> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = PaletteTools()[i].Code;
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

std::span<const TToolCode> TFrmTools::ToolCodes() { return PaletteOrder; }

QString TFrmTools::ToolName(TToolCode code)
{
    const TToolInfo* info = FindTool(code);
    return info ? tr(info->Name) : QString();
}

TFrmTools::TFrmTools(QWidget* owner)
    : TPanelWindow(tr("Tools"), owner)
    , ChooseColor(AskForColor)
{
    setObjectName("FrmTools");

    ButtonBox = new QGroupBox(this);
    ButtonBox->setObjectName("GroupBox1");
    ButtonBox->installEventFilter(this);
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setExclusive(true);

    const int iconSide = std::max(24, fontMetrics().height() + 8);
    auto* grid = new QGridLayout(ButtonBox);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    for (std::size_t i = 0; i < PaletteOrder.size(); ++i) {
        const TToolInfo& info = PaletteTools()[i];
        const TToolCode code = info.Code;
        auto* button = new QToolButton(ButtonBox);
        button->setObjectName(info.Button);
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
        ToolGroup->addButton(button, int(code));
        grid->addWidget(button, int(i / 2), int(i % 2));
    }
    ButtonOf(TToolCode::Hand)->setChecked(true);

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
    layout->addWidget(ButtonBox);
    layout->addSpacing(4);
    layout->addWidget(colors, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ToolGroup, &QButtonGroup::idClicked, this, &TFrmTools::ToolButtonClick);
    connect(FrontColor, &TColorSwatch::Pressed, this, [this] { SwatchPressed(FrontColor, tr("Front Color")); });
    connect(BackColor, &TColorSwatch::Pressed, this, [this] { SwatchPressed(BackColor, tr("Back Color")); });
}

QToolButton* TFrmTools::ButtonOf(TToolCode code) const
{
    return static_cast<QToolButton*>(ToolGroup->button(int(code)));
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
        button->setEnabled(enabled || button == ButtonOf(TToolCode::Hand));
}

void TFrmTools::SetCurrentTool(TToolCode code)
{
    QToolButton* button = ButtonOf(code);
    if (!button)
        return;
    // Checking a button programmatically emits only toggled, which nothing
    // here listens to.
    button->setChecked(true);
    Current = code;
}

QColor TFrmTools::FrontColorValue() const { return FrontColor->Color(); }
QColor TFrmTools::BackColorValue() const { return BackColor->Color(); }
void TFrmTools::SetFrontColor(QColor color) { FrontColor->SetColor(color); }
void TFrmTools::SetBackColor(QColor color) { BackColor->SetColor(color); }

void TFrmTools::SetColorChooser(TColorChooser chooser) { ChooseColor = chooser ? std::move(chooser) : AskForColor; }

void TFrmTools::ToolButtonClick(int id)
{
    Current = TToolCode(id);
    emit ToolChosen(Current);
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
    const bool onPalette = watched == ButtonBox || (widget && !widget->isEnabled());
    if (onPalette && event->type() == QEvent::MouseButtonPress) {
        if (State == TPaletteState::NoPicture)
            ShowMessage(this, tr("You haven't opened a picture."));
        else if (State == TPaletteState::ZoomTooSmall)
            ShowMessage(this, tr("When the Zoom Rate < 100%, you can not use draw tools."));
    }
    return TPanelWindow::eventFilter(watched, event);
}
