#include "ui/TrackSpin.h"

#include "ui/SpinEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <optional>

namespace {

// A page key moves a tenth of the range: 10 on 1..99, 51 on -255..255.
int PageStep(int minimum, int maximum) { return std::max(1, (maximum - minimum) / 10); }

} // namespace

TTrackSpin::TTrackSpin(int minimum, int maximum, int value, QWidget* parent, const QString& caption)
    : QObject(parent)
{
    Slider = new QSlider(Qt::Horizontal, parent);
    Slider->setTickPosition(QSlider::NoTicks);
    Slider->setSingleStep(1);
    Spin = new TSpinEdit(parent);
    if (!caption.isEmpty()) {
        Label = new QLabel(caption, parent);
        Label->setBuddy(Spin);
    }

    SetRange(minimum, maximum);
    SetValueSilently(value);

    connect(Slider, &QSlider::valueChanged, this, &TTrackSpin::OnSliderValueChanged);
    connect(Spin, &TSpinEdit::TextEdited, this, &TTrackSpin::OnSpinTextEdited);
    connect(Spin, &QAbstractSpinBox::editingFinished, this, &TTrackSpin::OnSpinEditingFinished);
}

int TTrackSpin::Value() const { return Slider->value(); }
int TTrackSpin::Minimum() const { return Slider->minimum(); }
int TTrackSpin::Maximum() const { return Slider->maximum(); }

void TTrackSpin::SetValueSilently(int value)
{
    Applying = true;
    Slider->setValue(value);
    Applying = false;
    Handled = Slider->value();
    WriteSpin(Handled);
}

void TTrackSpin::SetRange(int minimum, int maximum)
{
    maximum = std::max(minimum, maximum);
    const int before = Slider->value();
    Applying = true;
    Slider->setRange(minimum, maximum);
    Applying = false;
    Slider->setPageStep(PageStep(minimum, maximum));
    Spin->SetRange(minimum, maximum);
    if (Slider->value() != before)
        Handled = Slider->value();
    WriteSpin(Slider->value());
}

void TTrackSpin::SetSpinRange(int minimum, int maximum)
{
    Spin->SetRange(std::min(minimum, Minimum()), std::max(maximum, Maximum()));
}

void TTrackSpin::SetEnabled(bool enabled)
{
    Slider->setEnabled(enabled);
    Spin->setEnabled(enabled);
    if (Label)
        Label->setEnabled(enabled);
}

void TTrackSpin::SetVisible(bool visible)
{
    Slider->setVisible(visible);
    Spin->setVisible(visible);
    if (Label)
        Label->setVisible(visible);
}

bool TTrackSpin::IsEnabled() const { return Slider->isEnabled(); }

void TTrackSpin::AddToGrid(QGridLayout* grid, int row, int column) const
{
    if (Label)
        grid->addWidget(Label, row, column);
    grid->addWidget(Slider, row, column + 1);
    grid->addWidget(Spin, row, column + 2);
}

void TTrackSpin::OnSliderValueChanged(int position)
{
    if (Applying)
        return;
    // The spin edit always mirrors the track bar, even for a position that
    // needs no handling, unless the position came from the spin edit itself.
    if (!FromSpin)
        WriteSpin(position);
    if (position == Handled)
        return;
    Handled = position;
    if (FromSpin)
        ChangedByEdit = true;
    emit Changed(position);
}

void TTrackSpin::OnSpinTextEdited(const QString& text)
{
    ChangedByEdit = false;
    const std::optional<int> typed = InterpretSpinText(text, Spin->Minimum());
    if (typed) {
        const int limited = std::clamp(*typed, Minimum(), Maximum());
        const int shown = std::clamp(*typed, Spin->Minimum(), Spin->Maximum());
        if (*typed != Slider->value()) {
            FromSpin = true;
            Slider->setValue(limited);
            FromSpin = false;
        }
        // A number outside the range is replaced by the limit at once; text
        // that is no number (a lone sign while typing "-20") is left alone and
        // tidied when editing ends.
        if (shown != *typed && ParseSpinNumber(text))
            WriteSpin(shown);
    }
    emit SpinTextEdited(ChangedByEdit);
}

void TTrackSpin::OnSpinEditingFinished()
{
    // Blank or non-numeric text left behind shows the value it stands for; a
    // number stays as far as the spin edit's range allows.
    const std::optional<int> number = ParseSpinNumber(Spin->Text());
    const int shown = number ? std::clamp(*number, Spin->Minimum(), Spin->Maximum()) : Slider->value();
    if (Spin->Text() != QString::number(shown))
        WriteSpin(shown);
}

void TTrackSpin::WriteSpin(int value) { Spin->SetValue(value); }
