#include "bench/shell/BenchTexts.h"

#include <QStringList>

#include <iterator>

namespace {

const ControlText kMenus[] = {
    {"M01", nullptr, "File(&F)", "文件(&F)", nullptr, nullptr},
    {"M02", nullptr, "Options(&O)", "选项(&O)", nullptr, nullptr},
    {"M03", nullptr, "Help(&H)", "帮助(&H)", nullptr, nullptr},
    {"M0101", nullptr, "Save Config&", "保存设置&", nullptr, nullptr},
    {"M0102", nullptr, "Load Config&", "读取设置&", nullptr, nullptr},
    {"M0103", nullptr, "Exit(&X)", "退出(&X)", nullptr, nullptr},
    {"M0203", nullptr, "Reset Counter&", "复位&", nullptr, nullptr},
    {"M0301", nullptr, "About...&", "关于...&", nullptr, nullptr},
    {"M0302", nullptr, "Visit Site&", "访问站点&", nullptr, nullptr},
};

const ControlText kSerialSettings[] = {
    {"GroupBoxNetL", nullptr, "COMSettings", "串口设置", "COMSettings", "串口设置"},
    {"Label_Protocol_L", nullptr, "PortNum", "串口号", nullptr, nullptr},
    {"LabelWave", nullptr, "BaudR", "波特率", nullptr, nullptr},
    {"LabelCheck", nullptr, "DPaity", "校验码", nullptr, nullptr},
    {"LabeData", nullptr, "DataB位", "数据位", nullptr, nullptr},
    {"LabelStop", nullptr, "StopB", "停止位", nullptr, nullptr},
    {"cbSerial", nullptr, nullptr, nullptr, "PortNum", "串口号"},
    {"cbWave", nullptr, nullptr, nullptr, "BaudR", "波特率"},
    {"cbCheck", nullptr, nullptr, nullptr, "DPaity", "校验位"},
    {"cbData", nullptr, nullptr, nullptr, "DataB", "数据位"},
    {"cbStop", nullptr, nullptr, nullptr, "StopB", "停止位"},
};

const ControlText kNetSettings[] = {
    {nullptr, "GroupBox_Network", "NetSettings", "网络设置", "NetSettings", "网络设置"},
    {nullptr, "Label_Protocol", "（1）Protocol", "（1）协议类型", nullptr, nullptr},
    {nullptr, "Label_IPAddress", "（2）Local hostIP", "（2）本地IP地址", nullptr, nullptr},
    {nullptr, "Label_PortNum", "（3）Local host port", "（3）本地端口号", nullptr, nullptr},
    {nullptr, "cmBtn_NetConnect", "Connect", "连接", nullptr, nullptr},
    {nullptr, "ComboBox_Protocol", nullptr, nullptr, "Change Protocol type", "更改协议类型"},
    {nullptr, "Edit_PortNUM", nullptr, nullptr, "Change local port", "更改端口号"},
};

const ControlText kPaneControls[] = {
    {"GroupBoxRecvL", "GroupBoxRecvR", "Recv Options", "接收区设置", "Recv Options", "接收区设置"},
    {"CheckBox_FileOutput_L", "CheckBox_FileOutput", "Receive to file...", "接收转向文件...",
     "Receive to file...", "自动将接收到的数据保存至文件..."},
    {"CheckBox_ReceiveAutoReturn_L", "CheckBox_ReceiveAutoReturn", "Add line return",
     "自动换行显示", "Add line return", "自动换行：每收到一组数据，自动加回车"},
    {"CheckBox_ReceiveShowHex_L", "CheckBox_ReceiveShowHex", "Receive As HEX", "十六进制显示",
     "Receive As HEX", "接收区以十六进制显示"},
    {"CheckBox_PauseReceive_L", "CheckBox_PauseReceive", "Receive Pause", "暂停接收显示",
     "Receive Pause", "接收区暂停/继续数据接收"},
    {"Label_SaveData_L", "Label_SaveData", "Save...", "保存数据", "Save...",
     "将接收区的内容保存到文件..."},
    {"Label_ClearRecv_L", "Label_ClearRecv", "Clear", "清除显示", "Clear", "清空接收区显示内容"},
    {"GroupBoxSendL", "GroupBoxSendR", "Send Options", "发送区设置", "Send Options", "发送区设置"},
    {"CheckBox_FileInput_L", "CheckBox_FileInput", "Data from file...", "启用文件数据源...",
     "Data from file...", "从外部文件读取数据发送..."},
    {"CheckBox_SendAutoChecksum_L", "CheckBox_SendAutoChecksum", "Auto Checksum",
     "自动发送附加位", "Auto Checksum", "每发送一组数据，自动在末尾加上校验位"},
    {"CheckBox_ClearAfterSend_L", "CheckBox_ClearAfterSend", "Auto Clear Input",
     "发送完自动清空", "Auto Clear Input", "数据发送完，清空输入框"},
    {"CheckBox_SendAsHex_L", "CheckBox_SendAsHex", "Send As Hex", "按十六进制发送", "Send As Hex",
     "输入框内容十六进制转换"},
    {"CheckBox_SendRecycled_L", "CheckBox_SendRecycled", "Send Recycle", "数据流循环发送",
     "Send Recycle", "指令循环发送"},
    {"Label_Interval_L", "Label_Interval", "Interval", "发送间隔", nullptr, nullptr},
    {"Label_IntervalUnit_L", "Label_IntervalUnit", "ms", "毫秒", nullptr, nullptr},
    {"Edit_SendInterval_L", "Edit_SendInterval", nullptr, nullptr, "Interval Value",
     "指令发送及指令循环的间隔"},
    {"Label_Loaddata_L", "Label_Loaddata", "Load...", "文件载入", "Load...", "从外部文件导入输入框"},
    {"Label_ClearSend_L", "Label_ClearSend", "Clear", "清除显示", "Clear", "清空输入框内容"},
    {"GroupBox_Recv_L", nullptr, "COM port data recevice", "串口数据接收", nullptr, nullptr},
    {nullptr, "GroupBox_Recv", "Network data receive", "网络数据接收", nullptr, nullptr},
    {"HintLabelL", "HintLabel", "Ready!", "完成!", nullptr, nullptr},
    {"StaticTextSendL", "StaticTextSend", "Send:0", "发送:0", nullptr, nullptr},
    {"StaticTextRecvL", "StaticTextRecv", "Recv:0", "接收:0", nullptr, nullptr},
    {"Btn_ResetCounterL", "Btn_ResetCounter", "Reset", "复位计数", nullptr, nullptr},
    {"Btn_Send_L", "Btn_Send", "Send", "发送", nullptr, nullptr},
    {"RadioGroupChecksum_L", "RadioGroupChecksum", "Apendix bits setting", "附加位设置", nullptr,
     nullptr},
};

template <size_t N> TextTable table(const ControlText (&rows)[N]) {
    return {rows, static_cast<int>(N)};
}

} // namespace

namespace BenchTexts {

TextTable menus() { return table(kMenus); }
TextTable serialSettings() { return table(kSerialSettings); }
TextTable netSettings() { return table(kNetSettings); }
TextTable paneControls() { return table(kPaneControls); }

QStringList checksumItems(bool english) {
    if (english)
        return {QStringLiteral("Negative Checksum"), QStringLiteral("Postitive Checksum"),
                QStringLiteral("Fixed Byte Checksum")};
    return {QStringLiteral("负校验  （附加位字节的值为其他所有字节和的负数）"),
            QStringLiteral("正校验  （附加位字节的值为其他所有字节的和）"),
            QStringLiteral("固定位  （附加位字节的值为固定的16进制数:         H）  ")};
}

} // namespace BenchTexts

#include "bench/ui/BevelButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace BenchTexts {

void setHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

namespace {

void setCaption(QObject* control, const QString& caption) {
    if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(caption);
    else if (auto* bevel = qobject_cast<BevelButton*>(control))
        bevel->setText(caption);
    else if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(caption);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(caption);
}

void applyRow(QObject* root, const char* name, const ControlText& row, bool english) {
    if (!name)
        return;
    QObject* control = root->findChild<QObject*>(QString::fromLatin1(name));
    if (!control)
        return;
    if (row.captionEn)
        setCaption(control, pick(english, row.captionEn, row.captionZh));
    if (row.hintEn)
        if (auto* widget = qobject_cast<QWidget*>(control))
            setHint(widget, pick(english, row.hintEn, row.hintZh));
}

} // namespace

void applyTexts(QObject* root, const TextTable& table, bool english) {
    for (const ControlText& row : table) {
        applyRow(root, row.serialName, row, english);
        applyRow(root, row.netName, row, english);
    }
}

} // namespace BenchTexts
