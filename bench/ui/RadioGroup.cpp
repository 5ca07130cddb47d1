#include "bench/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this)) {
    new QVBoxLayout(this);
}

void RadioGroup::setItems(const QStringList& items) {
    for (QAbstractButton* old : m_group->buttons()) {
        m_group->removeButton(old);
        delete old;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        layout()->addWidget(button);
    }
}

int RadioGroup::itemCount() const { return static_cast<int>(m_group->buttons().size()); }

QRadioButton* RadioGroup::item(int index) const {
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

int RadioGroup::itemIndex() const { return m_group->checkedId(); }

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = m_group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No item: clear the selection, which an exclusive group only allows while not exclusive.
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons())
        b->setChecked(false);
    m_group->setExclusive(true);
}
