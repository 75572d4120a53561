#include "ui/FrmSketchMoreOption.h"

#include "settings/EffectControls.h"
#include "ui/BusyCursor.h"
#include "ui/RadioGroup.h"
#include "ui/SpinEdit.h"
#include "ui/TrackSpin.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

namespace {

TTrackSpin* Pair(const char* field, const char* trc, const char* spn, const QString& caption, QWidget* parent)
{
    const TEffectControl& c = OptionPair(field);
    auto* pair = new TTrackSpin(c.Min, c.Max, c.Designed, parent, caption);
    pair->setObjectName(field);
    pair->Trc()->setObjectName(trc);
    pair->Spn()->setObjectName(spn);
    return pair;
}

} // namespace

TFrmSketchMoreOption::TFrmSketchMoreOption(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmSketchMoreOption");
    setWindowTitle(tr("Sketch - More Options"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    RG_SketchType = new TRadioGroup(tr(" Sketch Type "), {tr("Black && White"), tr("Gray")}, 2, this);
    RG_SketchType->setObjectName("RG_SketchType");
    RG_SketchType->SetItemIndex(SketchTypeGrey - 1);

    GrpSharper = new QGroupBox(tr(" Line  Sharper "), this);
    GrpSharper->setObjectName("GrpSharper");
    Sharper = Pair("Sharper", "Trc_Sharper", "Spn_Sharper", tr("Strength:"), GrpSharper);

    GrpRemain = new QGroupBox(tr(" Remain Dark Area "), this);
    GrpRemain->setObjectName("GrpRemain");
    Chk_Remain = new QCheckBox(tr("Remain Dark Area"), GrpRemain);
    Chk_Remain->setObjectName("Chk_Remain");
    Threshold = Pair("RemainThreshold", "Trc_Threshold", "Spn_Threshold", tr("Threshold:"), GrpRemain);
    Lab_Threshold = Threshold->Caption();
    Lab_Threshold->setObjectName("Label3");
    Darkness = Pair("RemainDarkness", "Trc_Darkness", "Spn_Darkness", tr("Darkness:"), GrpRemain);
    Lab_Darkness = Darkness->Caption();
    Lab_Darkness->setObjectName("Label4");

    Btn_Ok = new QPushButton(tr("&OK"), this);
    Btn_Ok->setObjectName("Btn_Ok");
    BtnCancel = new QPushButton(tr("&Cancel"), this);
    BtnCancel->setObjectName("BtnCancel");
    for (QPushButton* b : {Btn_Ok, BtnCancel})
        b->setAutoDefault(false);

    auto* sharper = new QGridLayout(GrpSharper);
    Sharper->AddToGrid(sharper, 0);
    sharper->setColumnStretch(1, 1);
    auto* remain = new QGridLayout(GrpRemain);
    remain->addWidget(Chk_Remain, 0, 0, 1, 3);
    Threshold->AddToGrid(remain, 1);
    Darkness->AddToGrid(remain, 2);
    remain->setColumnStretch(1, 1);
    // The captions of both groups line up.
    const int captionWidth = std::max(
        {Sharper->Caption()->sizeHint().width(), Lab_Threshold->sizeHint().width(), Lab_Darkness->sizeHint().width()});
    for (QLabel* l : {Sharper->Caption(), Lab_Threshold, Lab_Darkness})
        l->setMinimumWidth(captionWidth);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Btn_Ok);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RG_SketchType);
    layout->addWidget(GrpSharper);
    layout->addWidget(GrpRemain);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(QSize(418, 316).expandedTo(layout->sizeHint()));

    UpdateRemainEnabling();

    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmSketchMoreOption::reject);
    connect(RG_SketchType, &TRadioGroup::Clicked, this, &TFrmSketchMoreOption::Changed);
    connect(Chk_Remain, &QCheckBox::clicked, this, [this] {
        UpdateRemainEnabling();
        Changed();
    });
    for (TTrackSpin* pair : {Sharper, Threshold, Darkness})
        connect(pair, &TTrackSpin::Changed, this, &TFrmSketchMoreOption::Changed);
}

void TFrmSketchMoreOption::TakeSettings(TEffectSettings& s) const
{
    s.RemainDark = Chk_Remain->isChecked() ? 1 : 0;
    s.RemainThreshold = Threshold->Value();
    s.RemainDarkness = Darkness->Value();
    s.Sharper = Sharper->Value();
    s.SketchType = RG_SketchType->ItemIndex() + 1;
}

void TFrmSketchMoreOption::ApplySettings(const TEffectSettings& s)
{
    Chk_Remain->setChecked(s.RemainDark != 0);
    Threshold->SetValueSilently(s.RemainThreshold);
    Darkness->SetValueSilently(s.RemainDarkness);
    Sharper->SetValueSilently(s.Sharper);
    RG_SketchType->SetItemIndex(s.SketchType - 1);
    UpdateRemainEnabling();
}

void TFrmSketchMoreOption::UpdateRemainEnabling()
{
    const bool on = Chk_Remain->isChecked();
    Threshold->SetEnabled(on);
    Darkness->SetEnabled(on);
}

void TFrmSketchMoreOption::Changed()
{
    if (isVisible())
        emit RenderRequested();
}

void TFrmSketchMoreOption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && Record)
        SettingsSnapshot = *Record;
}

void TFrmSketchMoreOption::reject()
{
    if (Record) {
        TBusyCursor busy;
        ApplySettings(SettingsSnapshot);
        *Record = SettingsSnapshot;
        emit RenderRequested();
    }
    QDialog::reject();
}
