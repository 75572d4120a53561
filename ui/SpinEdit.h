#pragma once

#include <QAbstractSpinBox>

#include <optional>

// The integer that text holds: optional blanks, an optional sign and digits.
// A number beyond the int range saturates. Nothing for any other text.
std::optional<int> ParseSpinNumber(const QString& text);

// What the text of a spin edit stands for: nothing when it is blank after
// trimming, the number it holds, and the minimum for any other text.
std::optional<int> InterpretSpinText(const QString& text, int minimum);

// A spin edit that accepts any integer text, also one outside its range, so
// that whoever reads it decides how to limit the value (a track bar pairs with
// it and writes the limited value back). Its range only bounds the arrow steps
// and gives the value of text that is no number. Keystrokes other than digits,
// signs and blanks are refused.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    int Minimum() const { return MinValue; }
    int Maximum() const { return MaxValue; }

    // Interpreted as InterpretSpinText does.
    std::optional<int> Value() const;
    QString Text() const;

    // Programmatic: shows the value without emitting TextEdited.
    void SetValue(int value);
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Every change of the text by the user: typing, pasting, deleting, undo,
    // and the arrow steps.
    void TextEdited(const QString& text);

protected:
    StepEnabled stepEnabled() const override;

private:
    void OnLineEdited(const QString& text);

    int MinValue = 0;
    int MaxValue = 99;
    // The value the arrows step from while the text is blank.
    int StepBase = 0;
};
