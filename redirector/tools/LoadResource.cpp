#include "redirector/tools/LoadResource.h"

#include "redirector/tools/NumericValue.h"
#include "redirector/tools/StringTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>

namespace {

constexpr int FontNameString = 20;
constexpr int CaptionPointSize = 8;

// The string a tag names; null when the tag is no positive number or the table lacks it.
QString stringForTag(const QVariant& tag) {
    const int number = integerValue(tag.toString());
    return number > 0 ? LoadResString(number) : QString();
}

QFont captionFont(const QWidget* window) {
    QFont font = window->font();
    const QString family = LoadResString(FontNameString);
    if (!family.isEmpty()) {
        // The Windows family is asked for first; where it does not exist the system's
        // general font stands in rather than whatever the font matcher picks.
        font.setFamilies({family, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    }
    // String 21, the Windows character set, has no counterpart: Qt fonts cover all of Unicode.
    font.setPointSize(CaptionPointSize);
    font.setBold(false);
    return font;
}

// Windows belonging to this one apply their own strings; menus are part of this window.
bool isOtherWindow(const QWidget* widget) {
    return (widget->isWindow() && !qobject_cast<const QMenu*>(widget)) ||
           qobject_cast<const QMdiSubWindow*>(widget);
}

void setToolTipFromNumber(QWidget* widget) {
    const QString text = stringForTag(widget->toolTip());
    if (!text.isNull()) widget->setToolTip(text);
}

// Children would inherit a font given to their container; fixing each child's font as it is
// now keeps the design font of the controls that have no tag of their own.
void keepChildFonts(QWidget* container) {
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QFont font = child->font();
        font.setResolveMask(QFont::AllPropertiesResolved);
        child->setFont(font);
    }
}

// A label's access key moves the focus to the control that follows it in the tab order.
void giveBuddy(QLabel* label) {
    if (label->buddy() || !label->text().contains(u'&')) return;
    for (QWidget* next = label->nextInFocusChain(); next && next != label;
         next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->window() == label->window()) {
            label->setBuddy(next);
            return;
        }
    }
}

void applyToLabel(QLabel* label, const QFont& font) {
    const QString text = stringForTag(label->property(TagProperty));
    if (text.isNull()) return;
    label->setFont(font);
    label->setText(text);
    giveBuddy(label);
}

void applyToMenuItem(QAction* item) {
    const QString text = stringForTag(item->text());
    if (!text.isNull()) item->setText(text);
}

void applyToTabStrip(QTabBar* tabs, const QFont& font) {
    tabs->setFont(font);
    for (int i = 0; i < tabs->count(); ++i) {
        const QString text = stringForTag(tabs->tabData(i));
        if (!text.isNull()) tabs->setTabText(i, text);
        const QString tip = stringForTag(tabs->tabToolTip(i));
        if (!tip.isNull()) tabs->setTabToolTip(i, tip);
    }
}

void applyToToolbar(QToolBar* toolbar, const QFont& font) {
    toolbar->setFont(font);
    for (QAction* button : toolbar->actions()) {
        const QString tip = stringForTag(button->toolTip());
        if (!tip.isNull()) button->setToolTip(tip);
    }
}

void applyToListView(QTreeView* view, const QFont& font) {
    view->setFont(font);
    QAbstractItemModel* model = view->model();
    if (!model) return;
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString text = stringForTag(model->headerData(column, Qt::Horizontal, Qt::UserRole));
        if (!text.isNull()) model->setHeaderData(column, Qt::Horizontal, text);
    }
}

void applyToCaptionedControl(QWidget* control, const QFont& font) {
    const QString text = stringForTag(control->property(TagProperty));
    if (!text.isNull()) {
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setFont(font);
            button->setText(text);
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            keepChildFonts(frame);
            frame->setFont(font);
            frame->setTitle(text);
        }
    }
    setToolTipFromNumber(control);
}

void applyToControl(QWidget* control, const QFont& font) {
    if (auto* label = qobject_cast<QLabel*>(control))
        applyToLabel(label, font);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setFont(font);
    else if (auto* tabs = qobject_cast<QTabBar*>(control))
        applyToTabStrip(tabs, font);
    else if (auto* toolbar = qobject_cast<QToolBar*>(control))
        applyToToolbar(toolbar, font);
    else if (auto* view = qobject_cast<QTreeView*>(control))
        applyToListView(view, font);
    else
        applyToCaptionedControl(control, font);
}

void applyToChildren(const QObject* parent, const QFont& font) {
    // A copy: setting a text may give a control new helper objects.
    const QObjectList children = parent->children();
    for (QObject* child : children) {
        if (auto* item = qobject_cast<QAction*>(child)) {
            applyToMenuItem(item);
        } else if (auto* widget = qobject_cast<QWidget*>(child)) {
            if (isOtherWindow(widget)) continue;
            applyToControl(widget, font);
        }
        applyToChildren(child, font);
    }
}

} // namespace

void ApplyResourceStrings(QWidget* window) {
    if (!window) return;
    const QString title = stringForTag(window->property(TagProperty));
    if (!title.isNull()) window->setWindowTitle(title);
    applyToChildren(window, captionFont(window));
}
