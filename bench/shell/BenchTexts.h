#pragma once

// Captions and hints of the bench window in English and Chinese. Window code looks controls up
// by object name, so one table row serves both panes where their controls are twins.

#include <QString>

struct ControlText {
    const char* serialName; // the serial pane's control, or null
    const char* netName;    // the network pane's control, or null
    const char* captionEn;  // null: the caption is not set from this row
    const char* captionZh;
    const char* hintEn; // null: no hint
    const char* hintZh;
};

struct TextTable {
    const ControlText* rows;
    int count;
    const ControlText* begin() const { return rows; }
    const ControlText* end() const { return rows + count; }
};

namespace BenchTexts {

// Menu items of the main menu.
TextTable menus();
// The serial pane's port settings group.
TextTable serialSettings();
// The network pane's port settings group.
TextTable netSettings();
// The send and receive controls both panes have.
TextTable paneControls();

// The checksum radio group's items.
QStringList checksumItems(bool english);

// Picks the English or the Chinese text.
inline QString pick(bool english, const char* en, const char* zh) {
    return QString::fromUtf8(english ? en : zh);
}

} // namespace BenchTexts

class QObject;
class QWidget;

namespace BenchTexts {

// A hint shows as the control's tool tip and, while the mouse is over it, in the status lines.
void setHint(QWidget* widget, const QString& hint);

// Sets the captions and hints of the table's controls found below `root` by object name.
void applyTexts(QObject* root, const TextTable& table, bool english);

} // namespace BenchTexts
