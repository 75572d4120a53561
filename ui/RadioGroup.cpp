#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent)
{
    Buttons = new QButtonGroup(this);
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        Buttons->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
    connect(Buttons, &QButtonGroup::idClicked, this, &TRadioGroup::Clicked);
}

int TRadioGroup::ItemIndex() const { return Buttons->checkedId(); }

void TRadioGroup::SetItemIndex(int index)
{
    // As LimitToControls reads a stored choice: beyond the items is the last.
    index = std::min(index, Count() - 1);
    if (QAbstractButton* button = Buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; it lets go only while it
    // is not exclusive.
    Buttons->setExclusive(false);
    for (QAbstractButton* button : Buttons->buttons())
        button->setChecked(false);
    Buttons->setExclusive(true);
}

QRadioButton* TRadioGroup::Item(int index) const { return qobject_cast<QRadioButton*>(Buttons->button(index)); }

int TRadioGroup::Count() const { return int(Buttons->buttons().size()); }
