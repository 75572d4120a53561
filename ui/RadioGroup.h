#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons laid out in columns, read and set by item
// index. Index -1 means no item is selected: a setting read from a file may
// name no item, and the group then shows none until the user picks one.
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int ItemIndex() const;
    // Emits nothing. An index past the items selects the last, a negative one
    // none (as LimitToControls reads a stored choice).
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;

signals:
    // The user selected an item.
    void Clicked(int index);

private:
    QButtonGroup* Buttons = nullptr;
};
