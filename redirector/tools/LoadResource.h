#pragma once

// The caption loader. Every redirector window is built with string numbers where its texts
// go and calls ApplyResourceStrings when it opens; the numbers are then replaced by the texts
// of the string table (LoadResString), and the controls that get a text share one font.
//
// Where a window puts the numbers:
//  - the window and its controls: the dynamic property "Tag" (TagProperty), a number or its
//    text: label->setProperty(TagProperty, 2202);
//  - a control's tool tip: the tool tip holding the number: edit->setToolTip("5122");
//  - menu items (QAction, including a QMenu's title): the text holding the number;
//  - tabs of a QTabBar: tabData(i) is the tab's tag, tabToolTip(i) holds its tool tip number;
//  - columns of a QTreeView (QTreeWidget): the header's data in Qt::UserRole is the tag.
// A number counts when its integerValue is above 0 and the table holds a string for it; any
// other tag leaves the control as designed, and so does a tag on a control without a caption.
//
// What each kind of control gets:
//  - QLabel with a tag: the font and its text. A text with an access key ("&Connector") on a
//    label without a buddy makes the next control in the tab order its buddy, so that the key
//    moves the focus there;
//  - QAction: its text when the text is a number; separators ("-") and other texts stay;
//  - QComboBox: the font only;
//  - QTabBar: the font, each tab's text and tool tip;
//  - QToolBar: the font and each button's tool tip;
//  - QTreeView: the font and each column header's text;
//  - any other control: with a tag, the font and its caption (QAbstractButton text, QGroupBox
//    title; the controls inside a group box keep their own fonts), then its tool tip.
// The font is the window's font with the family of string 20, 8 points, not bold; a family
// missing on this system is substituted by the system's general font.
//
// Controls nested in frames and menus are covered, menus included when they belong to the
// window (a QMenu parented to it or to its menu bar); other windows that belong to this one
// (dialogs, MDI session windows) are not: each window applies the strings itself.

class QWidget;

inline constexpr char TagProperty[] = "Tag";

void ApplyResourceStrings(QWidget* window);
