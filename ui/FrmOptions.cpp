#include "ui/FrmOptions.h"

#include "document/History.h"
#include "settings/ProgramDir.h"
#include "ui/Message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <utility>

using Limits = TProgramOptionsLimits;
static_assert(Limits::MaxHistoryStates <= THistory::MaxHistoryStates);
static_assert(Limits::MinHistoryStates >= THistory::MinHistoryStates);

namespace {

// The list's items, in the order of TPreviewSizeMode.
const char* const SizeModeItems[PreviewSizeModeCount] = {QT_TR_NOOP("Custom"), QT_TR_NOOP("Maximized"),
                                                         QT_TR_NOOP("Last")};

QSpinBox* Entry(const char* name, int minimum, int maximum, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(minimum, maximum);
    spin->setAlignment(Qt::AlignRight);
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setToolTip(QString("%1 to %2").arg(minimum).arg(maximum));
    return spin;
}

std::string OptionsPath() { return UserFile(OptionsFileName); }

} // namespace

TFrmOptions::TFrmOptions(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FrmOptions");
    setWindowTitle(tr("Options"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GrpPreviewSize = new QGroupBox(this);
    GrpPreviewSize->setObjectName("GroupBox1");
    Lab_WinSize = new QLabel(tr("Preview Window Size:"), GrpPreviewSize);
    Lab_WinSize->setObjectName("Label1");
    CmbWinSize = new QComboBox(GrpPreviewSize);
    CmbWinSize->setObjectName("CmbWinSize");
    for (const char* item : SizeModeItems)
        CmbWinSize->addItem(tr(item));
    Lab_WinSize->setBuddy(CmbWinSize);
    Lab_Width = new QLabel(tr("Width:"), GrpPreviewSize);
    Lab_Width->setObjectName("Label3");
    SpnWidth = Entry("SpnWidth", Limits::MinPreviewSize, Limits::MaxPreviewSize, GrpPreviewSize);
    Lab_Width->setBuddy(SpnWidth);
    Lab_Height = new QLabel(tr("Height:"), GrpPreviewSize);
    Lab_Height->setObjectName("Label4");
    SpnHeight = Entry("SpnHeight", Limits::MinPreviewSize, Limits::MaxPreviewSize, GrpPreviewSize);
    Lab_Height->setBuddy(SpnHeight);

    GrpHistory = new QGroupBox(this);
    GrpHistory->setObjectName("GroupBox2");
    Lab_History = new QLabel(tr("History States:"), GrpHistory);
    Lab_History->setObjectName("Label5");
    SpnHistory = Entry("SpnHistory", Limits::MinHistoryStates, Limits::MaxHistoryStates, GrpHistory);
    Lab_History->setBuddy(SpnHistory);

    // Not in the original design: a picture larger than the window opens
    // fitted to it instead of at actual pixels.
    Chk_FitLarge = new QCheckBox(tr("Fit large pictures to the window when opened"), this);
    Chk_FitLarge->setObjectName("Chk_FitLarge");

    auto* buttons = new QDialogButtonBox(this);
    BtnOk = buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole);
    BtnOk->setObjectName("BtnOk");
    BtnOk->setDefault(true);
    BtnCancel = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    BtnCancel->setObjectName("BtnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &TFrmOptions::BtnOkClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* size = new QFormLayout(GrpPreviewSize);
    size->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    size->setLabelAlignment(Qt::AlignLeft);
    size->addRow(Lab_WinSize, CmbWinSize);
    size->addRow(Lab_Width, SpnWidth);
    size->addRow(Lab_Height, SpnHeight);

    auto* history = new QFormLayout(GrpHistory);
    history->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    history->setLabelAlignment(Qt::AlignLeft);
    history->addRow(Lab_History, SpnHistory);

    // The two groups line their entries up in one column.
    const int labelWidth = std::max({Lab_WinSize->sizeHint().width(), Lab_Width->sizeHint().width(),
                                     Lab_Height->sizeHint().width(), Lab_History->sizeHint().width()});
    for (QLabel* label : {Lab_WinSize, Lab_Width, Lab_Height, Lab_History})
        label->setMinimumWidth(labelWidth);
    const int fieldWidth =
        std::max({CmbWinSize->sizeHint().width(), SpnWidth->sizeHint().width(), SpnHistory->sizeHint().width()});
    for (QWidget* field : {static_cast<QWidget*>(CmbWinSize), static_cast<QWidget*>(SpnWidth),
                           static_cast<QWidget*>(SpnHeight), static_cast<QWidget*>(SpnHistory)})
        field->setMinimumWidth(fieldWidth);

    Lbl_RangeHint = new QLabel(this);
    Lbl_RangeHint->setObjectName("Lbl_RangeHint");
    Lbl_RangeHint->setWordWrap(true);
    Lbl_RangeHint->hide();
    for (auto [spin, caption] : NumberEntries())
        connect(spin, &QSpinBox::editingFinished, this,
                [this, spin = spin, caption = caption] { CorrectTyped(spin, caption); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GrpPreviewSize);
    layout->addWidget(GrpHistory);
    layout->addWidget(Chk_FitLarge);
    layout->addWidget(Lbl_RangeHint);
    layout->addStretch(1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    LoadOptions();
    connect(CmbWinSize, &QComboBox::currentIndexChanged, this, &TFrmOptions::UpdateSizeEnabling);
}

void TFrmOptions::LoadOptions()
{
    ::LoadOptions(OptionsPath(), Record);
    LoadOptionsExtra(OptionsPath(), ExtraRecord);
    Record = LimitedOptions(Record);

    CmbWinSize->setCurrentIndex(Record.PreviewSizeMode);
    SpnWidth->setValue(Record.CustomWidth);
    SpnHeight->setValue(Record.CustomHeight);
    SpnHistory->setValue(Record.HistoryStates);
    Chk_FitLarge->setChecked(ExtraRecord.FitLargePictures);
    UpdateSizeEnabling();
}

bool TFrmOptions::SaveOptions()
{
    // Text still being typed counts as entered.
    for (QSpinBox* spin : {SpnWidth, SpnHeight, SpnHistory})
        spin->interpretText();

    if (SpnHistory->value() != Record.HistoryStates)
        ShowMessage(this, tr("History States will not take effect until next run"));

    Record.PreviewSizeMode = CmbWinSize->currentIndex();
    Record.CustomWidth = SpnWidth->value();
    Record.CustomHeight = SpnHeight->value();
    Record.HistoryStates = SpnHistory->value();
    ExtraRecord.FitLargePictures = Chk_FitLarge->isChecked();
    return ::SaveOptions(OptionsPath(), Record, ExtraRecord);
}

void TFrmOptions::UpdateSizeEnabling()
{
    const bool custom = CmbWinSize->currentIndex() == int(TPreviewSizeMode::Custom);
    for (QWidget* w : {static_cast<QWidget*>(Lab_Width), static_cast<QWidget*>(SpnWidth),
                       static_cast<QWidget*>(Lab_Height), static_cast<QWidget*>(SpnHeight)})
        w->setEnabled(custom);
}

TFrmOptions::TEntries TFrmOptions::Entries() const
{
    return {CmbWinSize->currentIndex(), SpnWidth->value(), SpnHeight->value(), SpnHistory->value(),
            Chk_FitLarge->isChecked()};
}

void TFrmOptions::SetEntries(const TEntries& entries)
{
    CmbWinSize->setCurrentIndex(entries.Mode);
    SpnWidth->setValue(entries.Width);
    SpnHeight->setValue(entries.Height);
    SpnHistory->setValue(entries.History);
    Chk_FitLarge->setChecked(entries.FitLarge);
    UpdateSizeEnabling();
}

void TFrmOptions::showEvent(QShowEvent* event)
{
    Shown = Entries();
    Lbl_RangeHint->hide();
    QDialog::showEvent(event);
}

void TFrmOptions::reject()
{
    SetEntries(Shown);
    QDialog::reject();
}

bool TFrmOptions::CorrectTyped(QSpinBox* spin, const QLabel* caption)
{
    auto* edit = spin->findChild<QLineEdit*>();
    bool number = false;
    const qlonglong typed = edit ? spin->locale().toLongLong(edit->text().trimmed(), &number) : 0;
    if (!number || (typed >= spin->minimum() && typed <= spin->maximum()))
        return false;
    const int limited = typed < spin->minimum() ? spin->minimum() : spin->maximum();
    spin->setValue(limited);
    QString name = caption->text();
    name.remove('&');
    name.remove(':');
    Lbl_RangeHint->setText(tr("%1 must lie between %2 and %3; %4 is used.")
                               .arg(name)
                               .arg(spin->minimum())
                               .arg(spin->maximum())
                               .arg(limited));
    Lbl_RangeHint->show();
    return true;
}

std::array<std::pair<QSpinBox*, const QLabel*>, 3> TFrmOptions::NumberEntries() const
{
    return {{{SpnWidth, Lab_Width}, {SpnHeight, Lab_Height}, {SpnHistory, Lab_History}}};
}

void TFrmOptions::BtnOkClick()
{
    // A number out of range is corrected in sight; OK then needs a second
    // press, so the user sees what will be saved.
    bool corrected = false;
    for (auto [spin, caption] : NumberEntries())
        corrected = CorrectTyped(spin, caption) || corrected;
    if (corrected)
        return;
    SaveOptions();
    accept();
}
