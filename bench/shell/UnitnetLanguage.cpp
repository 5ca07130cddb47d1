// Switching every caption and hint of the window between English and Chinese.

#include "bench/shell/BenchTexts.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/RadioGroup.h"
#include "bench/ui/TcmInfoDlg.h"
#include "bench/ui/TcmTrayIcon.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

void TFormNet::ApplyLanguage(const QString& code) {
    ProfileFile(m_services.settingsPath)
        .writeString(QStringLiteral("Options"), QStringLiteral("Language"), code);
    const bool en = code == QLatin1String("0");
    M0201->setChecked(en);
    M0202->setChecked(!en);

    BenchTexts::applyTexts(this, BenchTexts::menus(), en);
    BenchTexts::applyTexts(this, BenchTexts::serialSettings(), en);
    // The serial button keeps its state: only the open and close words are translated.
    static const std::pair<const char*, const char*> words[] = {{"Open", "打开"},
                                                                {"Close", "关闭"}};
    for (const auto& [english, chinese] : words) {
        const QString from = QString::fromUtf8(en ? chinese : english);
        if (cmBtn_NetConnect_L->text() == from) {
            cmBtn_NetConnect_L->setText(QString::fromUtf8(en ? english : chinese));
            break;
        }
    }

    Language = code;
    setWindowTitle(title());
    repaint();
    InfoDlg->setLanguage(en ? TcmInfoDlg::English : TcmInfoDlg::Chinese);

    BenchTexts::applyTexts(this, BenchTexts::netSettings(), en);
    BenchTexts::applyTexts(this, BenchTexts::paneControls(), en);
    for (RadioGroup* group : {RadioGroupChecksum, RadioGroupChecksum_L})
        group->setItems(BenchTexts::checksumItems(en));

    cmTrayIcon1->setToolTip(windowTitle());
    rebuildToolBar();
    // A running sender keeps its stop button in the new language.
    showSendCaptions();
}

void TFormNet::M0201Click() { ApplyLanguage(QStringLiteral("0")); }
void TFormNet::M0202Click() { ApplyLanguage(QStringLiteral("1")); }
