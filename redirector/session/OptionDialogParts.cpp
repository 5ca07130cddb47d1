#include "redirector/session/OptionDialogParts.h"

#include "redirector/tools/LoadResource.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

void setTag(QWidget* control, int tag) {
    control->setProperty(TagProperty, tag);
}

QGroupBox* radioFrame(int frameTag, const std::array<int, 3>& tags, RadioTriple& buttons,
                      QWidget* parent) {
    auto* frame = new QGroupBox(parent);
    setTag(frame, frameTag);
    auto* column = new QVBoxLayout(frame);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i] = new QRadioButton(frame);
        setTag(buttons[i], tags[i]);
        column->addWidget(buttons[i]);
    }
    return frame;
}

void selectIndex(const RadioTriple& buttons, int index) {
    if (index >= 0 && index < static_cast<int>(buttons.size()))
        buttons[static_cast<std::size_t>(index)]->setChecked(true);
}

int selectedIndex(const RadioTriple& buttons, int none) {
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) return static_cast<int>(i);
    return none;
}

void addOkCancel(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    ok->setDefault(true);
    layout->addLayout(row);
}
