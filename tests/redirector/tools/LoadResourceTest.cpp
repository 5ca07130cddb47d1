#include "redirector/tools/LoadResource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <iterator>
#include <type_traits>
#include <vector>

// Readable fonts in failure messages.
void PrintTo(const QFont& font, std::ostream* out) {
    *out << font.toString().toStdString();
}

namespace {

template <typename Widget>
Widget* tagged(Widget* widget, const QVariant& tag, const QString& designText = {}) {
    widget->setProperty(TagProperty, tag);
    if constexpr (std::is_base_of_v<QGroupBox, Widget>)
        widget->setTitle(designText);
    else
        widget->setText(designText);
    return widget;
}

void expectCaptionFont(const QWidget* widget) {
    EXPECT_EQ(widget->font().families().value(0), "Ms Sans Serif");
    EXPECT_EQ(widget->font().pointSize(), 8);
    EXPECT_FALSE(widget->font().bold());
}

// A window as the redirector builds them: numbers in the tags, a design font that the
// controls inherit, controls nested in a frame.
class LoadResourceTest : public ::testing::Test {
protected:
    LoadResourceTest() {
        m_window.setProperty(TagProperty, "5013");
        m_window.setWindowTitle("design title");
        m_window.setFont(m_designFont);
        m_window.setCentralWidget(m_central);
    }

    QFont m_designFont{"Serif", 14, QFont::Bold};
    QMainWindow m_window;
    QWidget* m_central = new QWidget;
    QGroupBox* m_frame = tagged(new QGroupBox(m_central), 5000, "Frame1");
};

TEST_F(LoadResourceTest, TaggedControlsGetTextsAndFont) {
    auto* connector = tagged(new QLabel(m_frame), "2202", "Label1");
    auto* port = new QComboBox(m_frame);
    auto* virtualPort = tagged(new QCheckBox(m_frame), "5002", "chkVPort");
    auto* client = tagged(new QRadioButton(m_frame), " 5006", "Option");
    auto* ok = tagged(new QPushButton(m_central), 1207, "Command1");
    auto* host = new QLineEdit(m_central);
    host->setToolTip("5122");

    ApplyResourceStrings(&m_window);

    EXPECT_EQ(m_window.windowTitle(), "Client I/O Options");
    EXPECT_EQ(m_frame->title(), "Serial Port");
    EXPECT_EQ(connector->text(), "&Connector");
    EXPECT_EQ(virtualPort->text(), "Create Virtual COM port");
    EXPECT_EQ(client->text(), "PC act as TCP Client");
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_EQ(host->toolTip(), "Enter the IP Address of the computer that you want to ping.");
    for (const QWidget* widget : {(QWidget*)m_frame, (QWidget*)connector, (QWidget*)virtualPort,
                                  (QWidget*)client, (QWidget*)ok})
        expectCaptionFont(widget);

    // Access keys: the button's letter clicks it, the label's moves the focus to its list.
    EXPECT_EQ(ok->shortcut(), QKeySequence(Qt::ALT | Qt::Key_O));
    EXPECT_EQ(connector->buddy(), port);
}

// The controls sit in a tagged frame: the font the frame gets must not reach them either.
TEST_F(LoadResourceTest, ControlsWithoutUsableTagKeepTheirDesign) {
    const QVariant unusable[] = {QVariant(), "", "0", "0.4", "abc", "-5000", "4999", 99999};
    std::vector<QLabel*> labels;
    std::vector<QPushButton*> buttons;
    for (const QVariant& tag : unusable) {
        labels.push_back(tagged(new QLabel(m_frame), tag, "design label"));
        buttons.push_back(tagged(new QPushButton(m_frame), tag, "design button"));
    }
    auto* edit = new QLineEdit("design edit", m_frame);
    edit->setProperty(TagProperty, 5000); // a tag on a control without a caption
    edit->setToolTip("a tip");
    auto* textBox = new QLineEdit(m_central);
    textBox->setToolTip("4999");

    ApplyResourceStrings(&m_window);

    for (std::size_t i = 0; i < std::size(unusable); ++i) {
        const QString tag = unusable[i].toString();
        EXPECT_EQ(labels[i]->text(), "design label") << tag.toStdString();
        EXPECT_EQ(labels[i]->font(), m_designFont) << tag.toStdString();
        EXPECT_EQ(buttons[i]->text(), "design button") << tag.toStdString();
        EXPECT_EQ(buttons[i]->font(), m_designFont) << tag.toStdString();
    }
    EXPECT_EQ(edit->text(), "design edit");
    EXPECT_EQ(edit->font(), m_designFont);
    EXPECT_EQ(edit->toolTip(), "a tip");
    EXPECT_EQ(textBox->toolTip(), "4999");
    EXPECT_EQ(m_frame->title(), "Serial Port");

    QDialog untitled;
    untitled.setProperty(TagProperty, "0");
    untitled.setWindowTitle("Norvex");
    ApplyResourceStrings(&untitled);
    EXPECT_EQ(untitled.windowTitle(), "Norvex");
}

TEST_F(LoadResourceTest, ComboBoxGetsTheFontOnly) {
    auto* combo = new QComboBox(m_central);
    combo->setProperty(TagProperty, 5000);
    combo->setEditable(true);
    combo->addItems({"None", "COM1"});
    combo->setEditText("COM7");

    ApplyResourceStrings(&m_window);

    expectCaptionFont(combo);
    EXPECT_EQ(combo->lineEdit()->font(), combo->font());
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "None");
    EXPECT_EQ(combo->currentText(), "COM7");
}

TEST_F(LoadResourceTest, MenuItemsWithNumbersGetTheirCaptions) {
    QMenu* file = m_window.menuBar()->addMenu("2102");
    QAction* fileNew = file->addAction("2103");
    QAction* bar = file->addSeparator();
    QAction* dash = file->addAction("-");
    QAction* exit = file->addAction("2107");
    auto* popUp = new QMenu("PopUp", &m_window); // the tray menu, outside the menu bar
    QAction* open = popUp->addAction("2130");
    QAction* about = popUp->addAction("2128");
    QAction* unknown = popUp->addAction("4999");

    ApplyResourceStrings(&m_window);

    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(fileNew->text(), "&New");
    EXPECT_TRUE(bar->isSeparator());
    EXPECT_EQ(dash->text(), "-");
    EXPECT_EQ(exit->text(), "E&xit");
    EXPECT_EQ(popUp->title(), "PopUp");
    EXPECT_EQ(open->text(), "&Open");
    EXPECT_EQ(about->text(), "&About...");
    EXPECT_EQ(unknown->text(), "4999");
}

TEST_F(LoadResourceTest, OtherWindowsApplyTheirOwnStrings) {
    // A dialog owned by the window, and a session window inside the main window's MDI area.
    auto* dialog = new QDialog(&m_window);
    auto* dialogLabel = tagged(new QLabel(dialog), 5011, "Enter Password:");
    auto* area = new QMdiArea(m_central);
    auto* session = new QWidget;
    auto* sessionFrame = tagged(new QGroupBox(session), 5000, "Frame1");
    area->addSubWindow(session);
    const QFont dialogFont = dialogLabel->font();

    ApplyResourceStrings(&m_window);

    EXPECT_EQ(dialogLabel->text(), "Enter Password:");
    EXPECT_EQ(dialogLabel->font(), dialogFont);
    EXPECT_EQ(sessionFrame->title(), "Frame1");

    ApplyResourceStrings(session);
    EXPECT_EQ(sessionFrame->title(), "Serial Port");

    ApplyResourceStrings(nullptr);
}

TEST_F(LoadResourceTest, TabsToolbarButtonsAndListColumns) {
    auto* tabs = new QTabBar(m_central);
    tabs->addTab("tab");
    tabs->setTabData(0, 5000);
    tabs->setTabToolTip(0, "5001");
    tabs->addTab("plain");
    auto* toolbar = m_window.addToolBar("tools");
    QAction* ping = toolbar->addAction("ping");
    ping->setToolTip("5122");
    auto* list = new QTreeWidget(m_central);
    list->setHeaderLabels({"a", "b"});
    list->headerItem()->setData(0, Qt::UserRole, "5101");

    ApplyResourceStrings(&m_window);

    EXPECT_EQ(tabs->tabText(0), "Serial Port");
    EXPECT_EQ(tabs->tabToolTip(0), "TCP/IP Port");
    EXPECT_EQ(tabs->tabText(1), "plain");
    EXPECT_EQ(ping->toolTip(), "Enter the IP Address of the computer that you want to ping.");
    EXPECT_EQ(list->headerItem()->text(0), "Connected Clients:");
    EXPECT_EQ(list->headerItem()->text(1), "b");
    for (const QWidget* widget : {(QWidget*)tabs, (QWidget*)toolbar, (QWidget*)list})
        expectCaptionFont(widget);
}

} // namespace
