#include "ui/FrmColorMoreOption.h"

#include "settings/EffectControls.h"
#include "settings/SettingsFile.h"
#include "ui/BusyCursor.h"
#include "ui/ColorScaleRuler.h"
#include "ui/Message.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

TFrmColorMoreOption::TFrmColorMoreOption(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmColorMoreOption");
    setWindowTitle(tr("Coloring - More Options"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GrpColorScaleDetail = new QGroupBox(tr(" Color Scale Detail "), this);
    GrpColorScaleDetail->setObjectName("GrpColorScaleDetail");
    Ruler = new TColorScaleRuler(GrpColorScaleDetail);
    Lab_Boundary = new QLabel(GrpColorScaleDetail);
    Lab_Boundary->setObjectName("Label1");
    Spn_Boundary = new TSpinEdit(GrpColorScaleDetail);
    Spn_Boundary->setObjectName("SpinEdit1");
    Lab_Boundary->setBuddy(Spn_Boundary);
    BtnReset = new QPushButton(tr("&Reset"), GrpColorScaleDetail);
    BtnReset->setObjectName("BtnReset");
    BtnLoad = new QPushButton(tr("&Load"), GrpColorScaleDetail);
    BtnLoad->setObjectName("BtnLoad");
    BtnSave = new QPushButton(tr("&Save"), GrpColorScaleDetail);
    BtnSave->setObjectName("BtnSave");
    // Hidden controls keep their room, so the buttons stay where they are.
    for (QWidget* w : {static_cast<QWidget*>(Lab_Boundary), static_cast<QWidget*>(Spn_Boundary)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }

    RG_ColorScaleColor = new TRadioGroup(tr(" Scale Type "), {tr("Fixed Color"), tr("Average")}, 2, this);
    RG_ColorScaleColor->setObjectName("RG_ColorScaleColor");
    RG_ColorScaleColor->SetItemIndex(ScaleTypeAverage - 1);
    RG_SmoothType = new TRadioGroup(tr(" Smooth Type "), {tr("Circle"), tr("Square")}, 2, this);
    RG_SmoothType->setObjectName("RG_SmoothType");
    RG_SmoothType->SetItemIndex(SmoothTypeCircle);

    GrpBlending = new QGroupBox(tr(" Blending Mode "), this);
    GrpBlending->setObjectName("GrpBlending");
    RB_Multiply = new QRadioButton(tr("Multiply"), GrpBlending);
    RB_Multiply->setObjectName("RB_Multiply");
    RB_Overlay = new QRadioButton(tr("Overlay"), GrpBlending);
    RB_Overlay->setObjectName("RB_Overlay");
    RB_Multiply->setChecked(true);
    const TEffectControl& opacity = OptionPair("Opacity");
    Opacity = new TTrackSpin(opacity.Min, opacity.Max, opacity.Designed, GrpBlending, tr("Opacity:"));
    Opacity->setObjectName("Opacity");
    Opacity->Trc()->setObjectName("Trc_Opeaity");
    Opacity->Spn()->setObjectName("Spn_Opeaity");
    Lab_Blending2 = Opacity->Caption();
    Lab_Blending2->setObjectName("Lab_Blending2");

    Btn_Ok = new QPushButton(tr("&OK"), this);
    Btn_Ok->setObjectName("Btn_Ok");
    BtnCancel = new QPushButton(tr("&Cancel"), this);
    BtnCancel->setObjectName("BtnCancel");
    for (QPushButton* b : {BtnReset, BtnLoad, BtnSave, Btn_Ok, BtnCancel})
        b->setAutoDefault(false);

    auto* detail = new QGridLayout(GrpColorScaleDetail);
    detail->addWidget(Ruler, 0, 0, 1, 6);
    detail->addWidget(Lab_Boundary, 1, 0);
    detail->addWidget(Spn_Boundary, 1, 1);
    detail->setColumnStretch(2, 1);
    detail->addWidget(BtnReset, 1, 3);
    detail->addWidget(BtnLoad, 1, 4);
    detail->addWidget(BtnSave, 1, 5);

    auto* blending = new QGridLayout(GrpBlending);
    blending->addWidget(RB_Multiply, 0, 0);
    blending->addWidget(RB_Overlay, 0, 1);
    Opacity->AddToGrid(blending, 1);
    blending->setColumnStretch(1, 1);

    auto* groups = new QGridLayout;
    groups->addWidget(RG_ColorScaleColor, 0, 0);
    groups->addWidget(RG_SmoothType, 1, 0);
    groups->addWidget(GrpBlending, 0, 1, 2, 1);
    groups->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GrpColorScaleDetail);
    layout->addLayout(groups);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(QSize(618, 301).expandedTo(layout->sizeHint()));

    UpdateOpacityEnabling();

    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmColorMoreOption::reject);
    connect(BtnReset, &QPushButton::clicked, this, &TFrmColorMoreOption::BtnResetClick);
    connect(BtnLoad, &QPushButton::clicked, this, &TFrmColorMoreOption::BtnLoadClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFrmColorMoreOption::BtnSaveClick);
    connect(RG_ColorScaleColor, &TRadioGroup::Clicked, this, &TFrmColorMoreOption::Changed);
    connect(RG_SmoothType, &TRadioGroup::Clicked, this, &TFrmColorMoreOption::Changed);
    for (QRadioButton* rb : {RB_Multiply, RB_Overlay})
        connect(rb, &QRadioButton::clicked, this, [this] {
            UpdateOpacityEnabling();
            Changed();
        });
    connect(Opacity, &TTrackSpin::Changed, this, &TFrmColorMoreOption::Changed);
    connect(Ruler, &TColorScaleRuler::Pressed, this, &TFrmColorMoreOption::RulerPressed);
    connect(Ruler, &TColorScaleRuler::Dragged, this, &TFrmColorMoreOption::RulerDragged);
    connect(Spn_Boundary, &TSpinEdit::TextEdited, this, &TFrmColorMoreOption::Spn_BoundaryChange);
    connect(Spn_Boundary, &QAbstractSpinBox::editingFinished, this, &TFrmColorMoreOption::Spn_BoundaryExit);
}

void TFrmColorMoreOption::Attach(TEffectSettings* settings, std::function<int()> colorScale)
{
    Record = settings;
    ColorScale = std::move(colorScale);
    ClearSelection();
    RedrawRuler();
}

void TFrmColorMoreOption::TakeSettings(TEffectSettings& s) const
{
    s.Opacity = Opacity->Value();
    s.SmoothType = RG_SmoothType->ItemIndex();
    s.ScaleType = RG_ColorScaleColor->ItemIndex() + 1;
    s.BlendMode = RB_Multiply->isChecked() ? EffectBlendMultiply : EffectBlendOpacity;
}

void TFrmColorMoreOption::ApplySettings(const TEffectSettings& s)
{
    Opacity->SetValueSilently(s.Opacity);
    RG_SmoothType->SetItemIndex(s.SmoothType);
    RG_ColorScaleColor->SetItemIndex(s.ScaleType - 1);
    if (s.BlendMode == EffectBlendMultiply)
        RB_Multiply->setChecked(true);
    else
        RB_Overlay->setChecked(true);
    UpdateOpacityEnabling();
}

std::uint8_t* TFrmColorMoreOption::CurrentRow() const
{
    if (!Record || !ColorScale)
        return nullptr;
    const int v = ColorScale();
    if (v < 1 || v > ColorTableRows)
        return nullptr;
    return Record->ColorTable + (v - 1) * ColorTableRowSize;
}

void TFrmColorMoreOption::ClearSelection()
{
    Selected = -1;
    Lab_Boundary->hide();
    Spn_Boundary->hide();
}

void TFrmColorMoreOption::RedrawRuler() { Ruler->SetRow(CurrentRow()); }

void TFrmColorMoreOption::TableChanged()
{
    ClearSelection();
    RedrawRuler();
}

void TFrmColorMoreOption::UpdateOpacityEnabling() { Opacity->SetEnabled(!RB_Multiply->isChecked()); }

void TFrmColorMoreOption::Changed()
{
    if (isVisible())
        emit RenderRequested();
}

void TFrmColorMoreOption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (Record)
        SettingsSnapshot = *Record;
    ClearSelection();
    RedrawRuler();
}

void TFrmColorMoreOption::RulerPressed(QPoint position, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    ClearSelection();
    const std::uint8_t* row = CurrentRow();
    const int k = TColorScaleRuler::HandleAt(row, position);
    if (k < 0)
        return;
    Selected = k;
    Lab_Boundary->setText(QString::number(k - 1) + ": ");
    Spn_Boundary->SetRange(row[k - 1] + 1, row[k + 1] - 1);
    Spn_Boundary->SetValue(row[k]);
    Lab_Boundary->show();
    Spn_Boundary->show();
}

void TFrmColorMoreOption::RulerDragged(QPoint position, Qt::MouseButtons buttons)
{
    const std::uint8_t* row = CurrentRow();
    if (!(buttons & Qt::LeftButton) || !row || Selected < 2 || Selected > row[0] - 1)
        return;
    const int value = TColorScaleRuler::ValueAt(position.x());
    if (value < Spn_Boundary->Minimum() || value > Spn_Boundary->Maximum())
        return;
    Spn_Boundary->SetValue(value);
    SetBoundary(value);
}

void TFrmColorMoreOption::Spn_BoundaryChange(const QString& text)
{
    if (Selected < 0 || text.trimmed().isEmpty())
        return;
    const std::optional<int> value = Spn_Boundary->Value();
    if (value && *value >= Spn_Boundary->Minimum() && *value <= Spn_Boundary->Maximum())
        SetBoundary(*value);
}

void TFrmColorMoreOption::Spn_BoundaryExit()
{
    if (Selected < 0)
        return;
    const std::optional<int> value = Spn_Boundary->Value();
    if (!value)
        return;
    const int limited = std::clamp(*value, Spn_Boundary->Minimum(), Spn_Boundary->Maximum());
    Spn_Boundary->SetValue(limited);
    SetBoundary(limited);
}

void TFrmColorMoreOption::SetBoundary(int value)
{
    std::uint8_t* row = CurrentRow();
    // A row read from a file need not ascend; its neighbours may then allow
    // no intensity at all.
    if (!row || Selected < 2 || Selected > row[0] - 1 || value < 0 || value > 255 || row[Selected] == value)
        return;
    row[Selected] = std::uint8_t(value);
    RedrawRuler();
    Changed();
}

void TFrmColorMoreOption::BtnResetClick()
{
    ClearSelection();
    if (Record)
        std::memcpy(Record->ColorTable, SettingsSnapshot.ColorTable, ColorTableSize);
    RedrawRuler();
    Changed();
}

void TFrmColorMoreOption::BtnLoadClick()
{
    const std::optional<QString> path = AskPresetFile(OpenDialog, this, ColorTableFileKind(), tr("Open"));
    if (!path || !Record)
        return;
    if (!ReadColorTableFile(path->toStdString(), TColorTableBytes(Record->ColorTable, ColorTableSize))) {
        ShowMessage(this, QDir::toNativeSeparators(*path) + tr(" could not be read."));
        return;
    }
    // A selection of the old table would show a value the new one may not have.
    ClearSelection();
    RedrawRuler();
    Changed();
}

void TFrmColorMoreOption::BtnSaveClick()
{
    const std::optional<QString> path = AskPresetFile(SaveDialog, this, ColorTableFileKind(), tr("Save As"));
    if (!path || !Record || !MayWritePreset(Confirm, this, ColorTableFileKind(), *path))
        return;
    if (!WriteColorTableFile(path->toStdString(), TConstColorTableBytes(Record->ColorTable, ColorTableSize)))
        ShowMessage(this, QDir::toNativeSeparators(*path) + tr(" could not be written."));
}

void TFrmColorMoreOption::reject()
{
    if (Record) {
        TBusyCursor busy;
        ApplySettings(SettingsSnapshot);
        *Record = SettingsSnapshot;
        ClearSelection();
        RedrawRuler();
        emit RenderRequested();
    }
    QDialog::reject();
}
