#include "platform/SystemLanguage.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

constexpr auto En = SystemLanguage::English;
constexpr auto Simplified = SystemLanguage::SimplifiedChinese;
constexpr auto Traditional = SystemLanguage::TraditionalChinese;

TEST(SystemLanguageTest, LanguageFromLocale) {
    const std::pair<const char*, SystemLanguage> cases[] = {
        {"zh_CN", Simplified},
        {"zh_CN.UTF-8", Simplified},
        {"zh_CN.GB18030", Simplified},
        {"zh_SG", Simplified},
        {"zh_SG.GBK", Simplified},
        {"zh_CN@pinyin", Simplified},
        {"zh-CN", Simplified},
        {"zh_TW.UTF-8", Traditional},
        {"zh_HK", Traditional},
        {"zh_MO.Big5", Traditional},
        {"zh", Traditional},
        {"zh.UTF-8", Traditional},
        {"", En},
        {"C", En},
        {"C.UTF-8", En},
        {"POSIX", En},
        {"en_US.UTF-8", En},
        {"de_DE@euro", En},
        {"en_CN", En},
        {"zha_CN", En},
        {"xzh_CN", En},
    };
    for (const auto& [locale, expected] : cases)
        EXPECT_EQ(languageFromLocale(locale), expected) << locale;
}

// The locale variables are set per case and restored afterwards.
class SystemLanguageEnvironmentTest : public ::testing::Test {
protected:
    static constexpr const char* Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            m_wasSet[i] = qEnvironmentVariableIsSet(Names[i]);
            m_saved[i] = qgetenv(Names[i]);
        }
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            if (m_wasSet[i])
                qputenv(Names[i], m_saved[i]);
            else
                qunsetenv(Names[i]);
        }
    }
    // nullptr leaves the variable unset.
    static void Set(std::initializer_list<const char*> values) {
        int i = 0;
        for (const char* value : values) {
            if (value)
                qputenv(Names[i], value);
            else
                qunsetenv(Names[i]);
            ++i;
        }
    }

private:
    bool m_wasSet[3] = {};
    QByteArray m_saved[3];
};

TEST_F(SystemLanguageEnvironmentTest, FirstNonEmptyVariableDecides) {
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        SystemLanguage expected;
    } cases[] = {
        {"zh_CN.UTF-8", "zh_TW", "en_US", Simplified},
        {"", "zh_TW", "zh_CN", Traditional},
        {nullptr, nullptr, "zh_SG", Simplified},
        {"", "", "en_US.UTF-8", En},
        {nullptr, nullptr, nullptr, En},
    };
    for (const auto& c : cases) {
        Set({c.lcAll, c.lcMessages, c.lang});
        EXPECT_EQ(systemLanguage(), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

} // namespace
