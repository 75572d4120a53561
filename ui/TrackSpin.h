#pragma once

#include <QObject>
#include <QString>

class QGridLayout;
class QLabel;
class QSlider;
class QWidget;
class TSpinEdit;

// A numeric setting shown as a track bar paired with a spin edit. The track bar
// holds the value and its range; the spin edit mirrors it; a typed value moves
// the track bar, which limits it to its range, and the limited value is written
// back into the spin edit. The pair owns no layout: its controls are children
// of the given parent and the dialog places them wherever it likes (AddToGrid
// puts them in one grid row).
//
// Every handled change emits Changed once. A position already handled is not
// handled again, and values set by the program (SetValueSilently, SetRange)
// emit nothing, so that code filling a dialog never starts a recomputation.
class TTrackSpin : public QObject {
    Q_OBJECT

public:
    // Outside every track bar's range: after ResetHandled the next position the
    // track bar reports is always handled.
    static constexpr int NotHandled = 65536;

    // Creates the track bar (horizontal, without tick marks), the spin edit
    // and, when caption is not empty, a label whose buddy is the spin edit.
    TTrackSpin(int minimum, int maximum, int value, QWidget* parent, const QString& caption = {});

    QSlider* Trc() const { return Slider; }
    TSpinEdit* Spn() const { return Spin; }
    QLabel* Caption() const { return Label; }

    int Value() const;
    int Minimum() const;
    int Maximum() const;
    int LastHandled() const { return Handled; }

    // Sets both controls and the last handled position; emits nothing.
    void SetValueSilently(int value);
    // Changes the range of both controls; a value outside it is limited
    // silently.
    void SetRange(int minimum, int maximum);
    // Lets the spin edit take values beyond the track bar's range: a typed
    // value there stays in the spin edit while the track bar stops at its
    // end. The range is widened to hold the track bar's; SetRange gives both
    // controls one range again.
    void SetSpinRange(int minimum, int maximum);
    void ResetHandled() { Handled = NotHandled; }

    // Also applies to the caption label.
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    bool IsEnabled() const;

    // Caption (when there is one), track bar and spin edit in columns
    // column, column + 1 and column + 2 of the row.
    void AddToGrid(QGridLayout* grid, int row, int column = 0) const;

signals:
    // A new position was handled, from the track bar or from the spin edit.
    void Changed(int value);
    // The user edited the spin edit's text, also to blank or to text that
    // changes nothing. Emitted after the Changed the edit caused, if any;
    // changed tells whether there was one.
    void SpinTextEdited(bool changed);

private:
    void OnSliderValueChanged(int position);
    void OnSpinTextEdited(const QString& text);
    void OnSpinEditingFinished();
    void WriteSpin(int value);

    QSlider* Slider = nullptr;
    TSpinEdit* Spin = nullptr;
    QLabel* Label = nullptr;
    int Handled = NotHandled;
    // Set while the pair itself moves a control, so that the moved control's
    // own notification is not taken for the user's.
    bool Applying = false;
    // Set while a position typed into the spin edit is being handled: the
    // spin edit then keeps the user's text instead of being rewritten.
    bool FromSpin = false;
    // Whether the edit being handled emitted Changed.
    bool ChangedByEdit = false;
};
