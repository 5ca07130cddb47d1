#pragma once

// Building blocks shared by the session's option dialogs. GUI thread only.

#include <QString>

#include <array>

class QBoxLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QWidget;

using RadioTriple = std::array<QRadioButton*, 3>;

// A control whose caption is string `tag` of the string table, set when the dialog applies
// its strings; the design text stands until then.
void setTag(QWidget* control, int tag);

// A frame captioned by `frameTag` holding three exclusive option buttons captioned by `tags`.
QGroupBox* radioFrame(int frameTag, const std::array<int, 3>& tags, RadioTriple& buttons,
                      QWidget* parent);

// Selects button `index`; an index outside 0-2 selects none.
void selectIndex(const RadioTriple& buttons, int index);
// The index of the selected button, or `none` when no button is selected.
int selectedIndex(const RadioTriple& buttons, int none);

// OK and Cancel at the bottom right of `layout`; OK is the default button.
void addOkCancel(QBoxLayout* layout, QPushButton* ok, QPushButton* cancel);
