#include "bench/serial/TForm_QxCommDevice_Settings.h"

#include "bench/serial/TQxCustomCommDevice.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSysInfo>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <limits>
#include <type_traits>

using namespace QxCommSettingsTexts;
using ZaldoComm32::TCommSerialPortInfo;

namespace {

constexpr int ButtonWidth = 75;
// OK and Cancel sit centred, their middles this far apart.
constexpr int ButtonPitch = 120;
constexpr int MinBufSize = 4096;

// No selection when the value has no item.
void selectIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

// The whole text, blanks trimmed, as a decimal number within [low, high].
std::optional<int> integerIn(const QLineEdit* edit, int low, int high) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

int flowIndex(TFlowControl flow) {
    switch (flow) {
    case fcRtsCts:
        return 1;
    case fcXonXoff:
    case fcTranXonXoff:
        return 2;
    case fcRtsCtsXonXoff:
        return 3;
    case fcNone:
        break;
    }
    return 0;
}

constexpr TFlowControl FlowByIndex[] = {fcNone, fcRtsCts, fcXonXoff, fcRtsCtsXonXoff};

} // namespace

TForm_QxCommDevice_Settings::TForm_QxCommDevice_Settings(TQxCustomCommDevice& device, bool open,
                                                         Prompts& prompts, QWidget* owner,
                                                         SystemLanguage language,
                                                         ZaldoComm32::SerialSystemFolders folders)
    : QDialog(owner), m_device(device), m_prompts(prompts), m_open(open), m_language(language) {
    setFont(QxCommSettingsTexts::font(language));
    buildControls();
    setTexts(folders);
    // About and Default are for the program's author, not its user.
    BnAbout->hide();
    BnDefault->hide();
    m_snapshot = {m_device.PortNo(),     m_device.Baud(),      m_device.Parity(),
                  m_device.ByteSize(),   m_device.StopBits(),  m_device.FlowControl(),
                  m_device.AutoAnswer(), m_device.InBufSize(), m_device.OutBufSize(),
                  m_device.Active()};
    showSettings();
}

void TForm_QxCommDevice_Settings::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto addGroup = [&](QGroupBox*& group) {
        group = new QGroupBox(this);
        layout->addWidget(group);
        return new QGridLayout(group);
    };
    auto addRow = [](QGridLayout* grid, QLabel*& label, auto*& field) {
        label = new QLabel(grid->parentWidget());
        field = new std::remove_reference_t<decltype(*field)>(grid->parentWidget());
        label->setBuddy(field);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    QGridLayout* base = addGroup(GboxBase);
    addRow(base, lbPort, CbPort);
    addRow(base, lbBaud, CbSelBaud);
    addRow(base, lbCheck, CbParity);
    addRow(base, lbBits, CbByteSize);
    addRow(base, lbStops, CbStopBits);
    QGridLayout* modem = addGroup(GBoxModem);
    addRow(modem, lbFlow, CbFlow);
    addRow(modem, lbAAns, EditAutoAns);
    QGridLayout* buffer = addGroup(GBoxBuffer);
    addRow(buffer, lbInbs, EditInBufSize);
    addRow(buffer, lbOutbs, EditOutBufSize);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    BnAbout = new QPushButton(this);
    BnDefault = new QPushButton(this);
    BnOK = new QPushButton(this);
    BnCancel = new QPushButton(this);
    buttons->addWidget(BnAbout);
    buttons->addWidget(BnDefault);
    buttons->addStretch();
    buttons->addWidget(BnOK);
    buttons->addSpacing(ButtonPitch - ButtonWidth);
    buttons->addWidget(BnCancel);
    buttons->addStretch();
    for (QPushButton* button : {BnAbout, BnDefault, BnOK, BnCancel})
        button->setFixedWidth(ButtonWidth);
    BnOK->setDefault(true);

    for (int rate : BaudRates)
        CbSelBaud->addItem(QString::number(rate));
    CbByteSize->addItems(
        {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")});
    CbStopBits->addItems({QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")});

    connect(BnOK, &QPushButton::clicked, this, &TForm_QxCommDevice_Settings::BnOKClick);
    connect(BnCancel, &QPushButton::clicked, this, &TForm_QxCommDevice_Settings::BnCancelClick);
    connect(BnDefault, &QPushButton::clicked, this, &TForm_QxCommDevice_Settings::BnDefaultClick);
    connect(BnAbout, &QPushButton::clicked, this, &TForm_QxCommDevice_Settings::BnAboutClick);
}

void TForm_QxCommDevice_Settings::setTexts(const ZaldoComm32::SerialSystemFolders& folders) {
    setWindowTitle(text(Caption));
    const std::pair<QLabel*, Index> labels[] = {
        {lbPort, PortLabel},       {lbBaud, BaudLabel},      {lbCheck, ParityLabel},
        {lbBits, ByteSizeLabel},   {lbStops, StopBitsLabel}, {lbFlow, FlowLabel},
        {lbAAns, AutoAnswerLabel}, {lbInbs, InBufLabel},     {lbOutbs, OutBufLabel}};
    for (const auto& [label, index] : labels)
        label->setText(text(index));
    const std::pair<QGroupBox*, Index> groups[] = {
        {GboxBase, PortGroup}, {GBoxModem, ModemGroup}, {GBoxBuffer, BufferGroup}};
    for (const auto& [group, index] : groups)
        group->setTitle(text(index));
    const std::pair<QPushButton*, Index> buttons[] = {
        {BnAbout, AboutButton}, {BnDefault, DefaultButton}, {BnOK, Ok}, {BnCancel, Cancel}};
    for (const auto& [button, index] : buttons)
        button->setText(text(index));

    CbPort->addItems(TCommSerialPortInfo(folders).ports());
    for (int index = NoParityItem; index < NoParityItem + 4; ++index)
        CbParity->addItem(text(index));
    CbParity->addItem(text(SpaceParityItem));
    for (int index = FlowNoneItem; index < FlowNoneItem + 4; ++index)
        CbFlow->addItem(text(index));
}

void TForm_QxCommDevice_Settings::showSettings() {
    const Settings& s = m_snapshot;
    CbPort->setCurrentIndex(CbPort->findText(TCommSerialPortInfo::PortName(s.PortNo)));
    selectIndex(CbSelBaud, s.Baud);
    selectIndex(CbByteSize, s.ByteSize - 5);
    selectIndex(CbParity, s.Parity);
    selectIndex(CbStopBits, s.StopBits);
    selectIndex(CbFlow, flowIndex(s.FlowControl));
    EditAutoAns->setText(QString::number(s.AutoAnswer));
    EditInBufSize->setText(QString::number(s.InBufSize));
    EditOutBufSize->setText(QString::number(s.OutBufSize));
}

void TForm_QxCommDevice_Settings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || !screen()) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft());
}

QString TForm_QxCommDevice_Settings::text(int index) const {
    return QxCommSettingsTexts::text(index, m_language);
}

void TForm_QxCommDevice_Settings::BnDefaultClick() {
    CbSelBaud->setCurrentIndex(br115200);
    CbParity->setCurrentIndex(ptNoParity);
    CbByteSize->setCurrentIndex(8 - 5);
    CbStopBits->setCurrentIndex(sbOneStopBit);
    CbFlow->setCurrentIndex(0);
    EditAutoAns->setText(QStringLiteral("0"));
    EditInBufSize->setText(QStringLiteral("8192"));
    EditOutBufSize->setText(QStringLiteral("8192"));
}

void TForm_QxCommDevice_Settings::BnAboutClick() {
    const QString about =
        QStringLiteral("%1 %2\n%3")
            .arg(QString::fromLatin1(m_device.metaObject()->className()),
                 QStringLiteral(PROJECT_VERSION_TEXT), QSysInfo::prettyProductName());
    m_prompts.messageBox(this, about, text(AboutButton).remove(QLatin1Char('&')),
                         Prompts::MbOk | Prompts::MbIconInformation);
}

void TForm_QxCommDevice_Settings::BnCancelClick() {
    reject();
}

void TForm_QxCommDevice_Settings::BnOKClick() {
    if (moveFocusForward()) return;
    const std::optional<Settings> chosen = chosenSettings();
    if (!chosen) return;
    try {
        apply(*chosen, false);
    } catch (const std::exception& error) {
        apply(m_snapshot, true);
        CbPort->setFocus();
        m_prompts.messageBox(this, QString::fromUtf8(error.what()), text(Caption),
                             Prompts::MbOk | Prompts::MbIconError);
        return;
    }
    accept();
}

// Enter reaches OK as the default button; in a field it only steps to the next field.
bool TForm_QxCommDevice_Settings::moveFocusForward() {
    const std::array<QWidget*, 9> fields = {CbPort,      CbSelBaud,     CbParity,
                                            CbByteSize,  CbStopBits,    CbFlow,
                                            EditAutoAns, EditInBufSize, EditOutBufSize};
    const auto lastField = std::prev(fields.end());
    const auto focused = std::find(fields.begin(), lastField, focusWidget());
    if (focused == lastField) return false;
    (*std::next(focused))->setFocus(Qt::TabFocusReason);
    return true;
}

std::optional<TForm_QxCommDevice_Settings::Settings> TForm_QxCommDevice_Settings::chosenSettings() {
    const std::pair<QComboBox*, Index> lists[] = {
        {CbPort, NoPortSelected},         {CbSelBaud, NoBaudSelected},
        {CbByteSize, NoByteSizeSelected}, {CbParity, NoParitySelected},
        {CbStopBits, NoStopBitsSelected}, {CbFlow, NoFlowSelected}};
    for (const auto& [list, message] : lists) {
        if (list->currentIndex() < 0) {
            complain(list, message);
            return std::nullopt;
        }
    }
    constexpr int MaxSize = std::numeric_limits<int>::max();
    const std::optional<int> autoAnswer = integerIn(EditAutoAns, 0, 255);
    if (!autoAnswer) {
        complain(EditAutoAns, BadAutoAnswer);
        return std::nullopt;
    }
    const std::optional<int> inSize = integerIn(EditInBufSize, MinBufSize, MaxSize);
    if (!inSize) {
        complain(EditInBufSize, BadInBufSize);
        return std::nullopt;
    }
    const std::optional<int> outSize = integerIn(EditOutBufSize, MinBufSize, MaxSize);
    if (!outSize) {
        complain(EditOutBufSize, BadOutBufSize);
        return std::nullopt;
    }
    return Settings{TCommSerialPortInfo::PortNo(CbPort->currentText()),
                    static_cast<TBaudRate>(CbSelBaud->currentIndex()),
                    static_cast<TParity>(CbParity->currentIndex()),
                    CbByteSize->currentIndex() + 5,
                    static_cast<TStopBits>(CbStopBits->currentIndex()),
                    FlowByIndex[CbFlow->currentIndex()],
                    *autoAnswer,
                    *inSize,
                    *outSize,
                    m_snapshot.Active || m_open};
}

void TForm_QxCommDevice_Settings::complain(QWidget* control, int textIndex) {
    control->setFocus(Qt::OtherFocusReason);
    m_prompts.messageBox(this, text(textIndex), text(Caption),
                         Prompts::MbOk | Prompts::MbIconError);
}

// Opening comes last, so the port opens once with everything in place. The restore (with
// ignoreErrors) goes through every step even when one fails.
void TForm_QxCommDevice_Settings::apply(const Settings& s, bool ignoreErrors) {
    TQxCustomCommDevice& d = m_device;
    const std::function<void()> steps[] = {
        [&] { d.setPortNo(s.PortNo); },
        [&] { d.setBaud(s.Baud); },
        [&] { d.setParity(s.Parity); },
        [&] { d.setByteSize(s.ByteSize); },
        [&] { d.setStopBits(s.StopBits); },
        [&] { d.setFlowControl(s.FlowControl); },
        [&] { d.setAutoAnswer(s.AutoAnswer); },
        [&] { d.setInBufSize(static_cast<std::int32_t>(s.InBufSize)); },
        [&] { d.setOutBufSize(static_cast<std::int32_t>(s.OutBufSize)); },
        [&] { d.setActive(s.Active); },
    };
    for (const std::function<void()>& step : steps) {
        if (!ignoreErrors) {
            step();
            continue;
        }
        try {
            step();
        } catch (const std::exception&) {
        }
    }
}
