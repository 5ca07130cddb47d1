// The session window's controls: where they sit, their string numbers and list entries.
#include "redirector/session/frmDocument.h"

#include "redirector/tools/LoadResource.h"
#include "redirector/tools/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>

#include <utility>

namespace {

// A control whose caption is string `tag`, set when the window applies its strings.
template <class Control> Control* tagged(Control* control, int tag) {
    control->setProperty(TagProperty, tag);
    return control;
}

// An activity indicator: a small filled circle, green at rest.
QLabel* indicator(QWidget* parent) {
    constexpr int Diameter = 12;
    auto* lamp = new QLabel(parent);
    lamp->setFixedSize(Diameter, Diameter);
    lamp->setStyleSheet(
        QStringLiteral("background-color: rgb(0, 255, 0); border-radius: %1px;").arg(Diameter / 2));
    return lamp;
}

void fill(QComboBox* list, const QStringList& entries, int selected) {
    list->addItems(entries);
    list->setCurrentIndex(selected);
}

QStringList strings(std::initializer_list<int> numbers) {
    QStringList texts;
    for (const int number : numbers)
        texts << LoadResString(number);
    return texts;
}

} // namespace

void frmDocument::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    layout->addLayout(frames);

    Frame1 = tagged(new QGroupBox(this), 5000);
    auto* serial = new QGridLayout(Frame1);
    // The lists top to bottom, each with its label's index and string; each label is made
    // just before its list so that its access key leads there.
    constexpr std::pair<int, int> Rows[] = {{0, 2202}, {5, 2203}, {1, 2204}, {2, 2210},
                                            {3, 2211}, {4, 2212}, {6, 2217}};
    int row = 0;
    for (const auto& [label, tag] : Rows) {
        QLabel* caption = Label1[static_cast<std::size_t>(label)] = tagged(new QLabel(Frame1), tag);
        auto* list = new QComboBox(Frame1);
        if (row == 0)
            Combo2 = list;
        else
            Combo1[static_cast<std::size_t>(row - 1)] = list;
        serial->addWidget(caption, row, 0);
        serial->addWidget(list, row, 1);
        ++row;
    }
    Combo2->setEditable(true);
    chkVPort = tagged(new QCheckBox(Frame1), 5002);
    BufferSerData = tagged(new QCheckBox(Frame1), 5003);
    WaitForCr = tagged(new QCheckBox(Frame1), 5004);
    for (QCheckBox* box : {chkVPort, BufferSerData, WaitForCr})
        serial->addWidget(box, row++, 0, 1, 2);
    Label4 = tagged(new QLabel(Frame1), 5005);
    txtTimeoutValue = new QLineEdit(QStringLiteral("150"), Frame1);
    serial->addWidget(Label4, row, 0);
    serial->addWidget(txtTimeoutValue, row, 1);
    frames->addWidget(Frame1);

    Frame2 = tagged(new QGroupBox(this), 5001);
    auto* network = new QGridLayout(Frame2);
    TCPOption[0] = tagged(new QRadioButton(Frame2), 5006);
    TCPOption[1] = tagged(new QRadioButton(Frame2), 5007);
    TCPOption[0]->setChecked(true);
    chkUDP = new QCheckBox(QStringLiteral("Use UDP instead of TCP/IP"), Frame2);
    Label2 = tagged(new QLabel(Frame2), 5104);
    IPAddress = new QLineEdit(Frame2);
    IPAddress->setMaxLength(50);
    LocalIP = new QComboBox(Frame2);
    LocalIP->setEditable(true);
    LocalIP->hide();
    Label3 = tagged(new QLabel(Frame2), 5105);
    PortNumber = new QLineEdit(QStringLiteral("1000"), Frame2);
    PortNumber->setMaxLength(5);
    Command2 = tagged(new QPushButton(Frame2), 5008);
    btnLogin = new QPushButton(QStringLiteral("Login Options..."), Frame2);
    btnLogin->hide();
    Command1 = tagged(new QPushButton(Frame2), 5009);
    row = 0;
    for (QWidget* line : std::initializer_list<QWidget*>{TCPOption[0], TCPOption[1], chkUDP})
        network->addWidget(line, row++, 0, 1, 2);
    network->addWidget(Label2, row++, 0, 1, 2);
    network->addWidget(IPAddress, row, 0, 1, 2);
    network->addWidget(LocalIP, row++, 0, 1, 2);
    network->addWidget(Label3, row, 0);
    network->addWidget(PortNumber, row++, 1);
    network->addWidget(Command2, row++, 0, 1, 2);
    network->addWidget(btnLogin, row++, 0, 1, 2);
    network->setRowStretch(row++, 1);
    network->addWidget(Command1, row, 0, 1, 2);
    frames->addWidget(Frame2);

    auto* status = new QHBoxLayout;
    StatusBar1[0] = tagged(new QLabel(this), 5090);
    StatusBar1[1] = tagged(new QLabel(this), 5091);
    Shape1[0] = indicator(this);
    Shape1[1] = indicator(this);
    status->addWidget(StatusBar1[0], 1);
    status->addWidget(Shape1[0]);
    status->addWidget(Shape1[1]);
    status->addWidget(StatusBar1[1], 1);
    layout->addLayout(status);
}

void frmDocument::fillLists() {
    Combo2->addItem(LoadResString(2205));
    for (int port = 1; port <= 256; ++port)
        Combo2->addItem(QStringLiteral("COM%1").arg(port));
    Combo2->setCurrentIndex(0);
    fill(Combo1[0],
         {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400",
          "57600", "115200"},
         6);
    fill(Combo1[1], strings({2205, 2207, 2206, 2208, 2209}), 0);
    fill(Combo1[2], {"5", "6", "7", "8"}, 3);
    fill(Combo1[3], {"1", "1.5", "2"}, 0);
    fill(Combo1[4], strings({2213, 2214, 2215, 2216}), 0);
    fill(Combo1[5],
         {"1024", "4096", "8192", "16384", "32768", "65536", "131072", "262144", "524288"}, 2);
}
