#include "ui/SpinEdit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <climits>

namespace {

bool IsAllowedChar(QChar c) { return c.isDigit() || c == u'+' || c == u'-' || c == u' ' || c == u'\t'; }

int Saturate(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

} // namespace

std::optional<int> ParseSpinNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    qsizetype i = 0;
    bool negative = false;
    if (trimmed[0] == u'+' || trimmed[0] == u'-') {
        negative = trimmed[0] == u'-';
        i = 1;
    }
    if (i == trimmed.size())
        return std::nullopt;

    // Accumulate with saturation: a long row of digits is a large number, and
    // a large number is limited by the track bar like any other.
    long long magnitude = 0;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (magnitude <= INT_MAX)
            magnitude = magnitude * 10 + (c.unicode() - u'0');
    }
    return Saturate(negative ? -magnitude : magnitude);
}

std::optional<int> InterpretSpinText(const QString& text, int minimum)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return ParseSpinNumber(text).value_or(minimum);
}

TSpinEdit::TSpinEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    lineEdit()->setText(QString::number(StepBase));
    connect(lineEdit(), &QLineEdit::textEdited, this, &TSpinEdit::OnLineEdited);
}

void TSpinEdit::SetRange(int minimum, int maximum)
{
    MinValue = minimum;
    MaxValue = std::max(minimum, maximum);
    StepBase = std::clamp(StepBase, MinValue, MaxValue);
    updateGeometry();
}

std::optional<int> TSpinEdit::Value() const { return InterpretSpinText(Text(), MinValue); }

QString TSpinEdit::Text() const { return lineEdit()->text(); }

void TSpinEdit::SetValue(int value)
{
    StepBase = value;
    SetText(QString::number(value));
}

void TSpinEdit::SetText(const QString& text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
    if (const std::optional<int> value = Value())
        StepBase = *value;
    // The arrows' enabled look depends on the text.
    update();
}

void TSpinEdit::stepBy(int steps)
{
    const long long base = std::clamp(Value().value_or(StepBase), MinValue, MaxValue);
    const int next = static_cast<int>(std::clamp<long long>(base + steps, MinValue, MaxValue));
    const QString text = QString::number(next);
    StepBase = next;
    if (text == Text())
        return;
    lineEdit()->setText(text);
    selectAll();
    update();
    emit TextEdited(text);
}

QValidator::State TSpinEdit::validate(QString& input, int& /*pos*/) const
{
    // Every combination of the allowed characters is acceptable, so the base
    // class never replaces what was typed; the reader interprets it.
    if (input.size() > 32)
        return QValidator::Invalid;
    return std::all_of(input.cbegin(), input.cend(), IsAllowedChar) ? QValidator::Acceptable : QValidator::Invalid;
}

void TSpinEdit::fixup(QString& /*input*/) const {}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const long long value = Value().value_or(StepBase);
    StepEnabled enabled = StepNone;
    if (value < MaxValue)
        enabled |= StepUpEnabled;
    if (value > MinValue)
        enabled |= StepDownEnabled;
    return enabled;
}

QSize TSpinEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int textWidth = std::max(metrics.horizontalAdvance(QString::number(MinValue)),
                                   metrics.horizontalAdvance(QString::number(MaxValue))) +
                          metrics.horizontalAdvance(u'0') + 4;
    const int height = lineEdit()->sizeHint().height();

    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize contents(textWidth, height);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, contents, this);
}

QSize TSpinEdit::minimumSizeHint() const { return sizeHint(); }

void TSpinEdit::OnLineEdited(const QString& text)
{
    if (const std::optional<int> value = Value())
        StepBase = *value;
    update();
    emit TextEdited(text);
}
