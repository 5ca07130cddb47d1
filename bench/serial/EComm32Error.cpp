#include "bench/serial/EComm32Error.h"

namespace ZaldoComm32 {

namespace {

struct ErrorTexts {
    const char* english;
    const char* simplified;
    const char* traditional;
};

// Index 0 is the text for any code outside the table.
constexpr ErrorTexts Texts[] = {
    {"Unknown error", "未知错误", "未知錯誤"},
    {"Out of memory", "内存不够", "記憶體不夠"},
    {"Cannot initialize read buffer", "不能初始化读缓存", "不能初始化讀緩存"},
    {"Cannot initialize write buffer", "不能初始化写缓存", "不能初始化寫緩存"},
    {"Cannot open COM port", "不能打开端口", "不能打開埠"},
    {"Cannot set comm-mask", "不能设置端口事件MASK", "不能設置埠事件MASK"},
    {"Cannot set COM port buffer size", "不能设置端口缓存", "不能設置埠緩存"},
    {"Cannot read COM port parameters", "不能得到端口参数", "不能得到埠參數"},
    {"Cannot set COM port parameters", "不能设置端口参数", "不能設置埠參數"},
    {"Cannot create COM port asynchronize read event", "不能创建端口异步读事件",
     "不能創建埠非同步讀事件"},
    {"Cannot create COM port asynchronize write event", "不能创建端口异步写事件",
     "不能創建埠非同步寫事件"},
    {"Cannot create COM port read thread", "不能创建端口读线程", "不能創建埠讀執行緒"},
    {"Cannot create COM port write thread", "不能创建端口写线程", "不能創建埠寫執行緒"},
    {"Cannot close COM port read thread", "不能关闭端口读线程", "不能關閉埠讀執行緒"},
    {"Cannot close COM port write thread", "不能关闭端口写线程", "不能關閉埠寫執行緒"},
};

constexpr std::size_t TextCount = sizeof(Texts) / sizeof(Texts[0]);

const char* textUtf8(std::uint8_t code, SystemLanguage language) {
    const ErrorTexts& entry = Texts[code < TextCount ? code : 0];
    switch (language) {
    case SystemLanguage::SimplifiedChinese:
        return entry.simplified;
    case SystemLanguage::TraditionalChinese:
        return entry.traditional;
    case SystemLanguage::English:
        break;
    }
    return entry.english;
}

const char* processText(std::uint8_t code) {
    static const SystemLanguage language = systemLanguage();
    return textUtf8(code, language);
}

} // namespace

EComm32Error::EComm32Error(std::uint8_t code)
    : std::runtime_error(processText(code)), m_code(code) {}

QString EComm32Error::text(std::uint8_t code, SystemLanguage language) {
    return QString::fromUtf8(textUtf8(code, language));
}

} // namespace ZaldoComm32
