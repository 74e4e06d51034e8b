// The preferences store: values survive, bad files read as absent, writers never tear.
#include "platform/preferences.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "tests/support/temp_config.h"

namespace {

using namespace kt;

// Under XDG_CONFIG_HOME, else ~/.config; an unwritable folder fails without harm.
TEST(Preferences, LivesUnderXdgConfigHome) {
    test::TempConfig config;
    EXPECT_EQ(prefs::directory(), config.configDir());
    ::setenv("XDG_CONFIG_HOME", "/proc/kav-tamor-cannot-exist", 1);
    EXPECT_FALSE(prefs::writeInt("Metering_Zoom", 1));
    EXPECT_EQ(prefs::readInt("Metering_Zoom"), std::nullopt);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(prefs::directory(), config.root() + "/.config/kav-tamor");
}

TEST(Preferences, ValuesRoundTrip) {
    test::TempConfig config;
    EXPECT_TRUE(prefs::writeInt("Metering_Scale", -7));
    EXPECT_EQ(prefs::readInt("Metering_Scale"), -7);
    EXPECT_TRUE(prefs::writeString("CurrDir", "/home/m\xc3\xa4ster/banks/"));
    EXPECT_EQ(prefs::readString("CurrDir"), "/home/m\xc3\xa4ster/banks/");
    const std::vector<unsigned char> blob = {0, 1, 2, 255, 0, 7};
    EXPECT_TRUE(prefs::writeBytes("DefaultBank", blob));
    EXPECT_EQ(prefs::readBytes("DefaultBank"), blob);
    EXPECT_TRUE(prefs::writeBytes("Empty", {}));
    EXPECT_EQ(prefs::readBytes("Empty"), std::vector<unsigned char>{});
    EXPECT_TRUE(prefs::remove("DefaultBank"));
    EXPECT_EQ(prefs::readBytes("DefaultBank"), std::nullopt);
    EXPECT_TRUE(prefs::remove("DefaultBank"));  // already absent
    // Only the values themselves are left in the folder.
    for (const auto& entry : std::filesystem::directory_iterator(config.configDir()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

TEST(Preferences, AbsentMalformedAndTruncatedValuesReadAsAbsent) {
    test::TempConfig config;
    EXPECT_EQ(prefs::readInt("Metering_Type"), std::nullopt);
    EXPECT_EQ(prefs::readString("CurrBank"), std::nullopt);
    std::filesystem::create_directories(config.configDir());
    auto put = [&](const char* key, const std::string& text) {
        std::ofstream(config.configDir() + "/" + key, std::ios::binary) << text;
    };
    put("A", "");
    put("B", "12abc");
    put("C", "99999999999");
    put("D", "-");
    put("E", " 3");
    put("F", "2\n");
    for (const char* key : {"A", "B", "C", "D", "E"})
        EXPECT_EQ(prefs::readInt(key), std::nullopt) << key;
    EXPECT_EQ(prefs::readInt("F"), 2);
    // A value that cannot be read is absent, not an error.
    std::filesystem::create_directories(config.configDir() + "/G");
    EXPECT_EQ(prefs::readBytes("G"), std::nullopt);
}

TEST(Preferences, KeysThatAreNotPlainNamesAreRefused) {
    test::TempConfig config;
    for (const char* key : {"", "../escape", "a/b", ".hidden", "x y"}) {
        EXPECT_FALSE(prefs::writeInt(key, 1)) << key;
        EXPECT_EQ(prefs::readInt(key), std::nullopt) << key;
    }
    EXPECT_FALSE(std::filesystem::exists(config.root() + "/config/escape"));
}

TEST(Preferences, ConcurrentWritersNeverLeaveATornValue) {
    test::TempConfig config;
    constexpr std::size_t kSize = 64 * 1024;
    const std::vector<unsigned char> a(kSize, 'a'), b(kSize, 'b');
    ASSERT_TRUE(prefs::writeBytes("DefaultBank", a));
    std::atomic<bool> stop{false};
    auto writer = [&](const std::vector<unsigned char>& value) {
        for (int i = 0; i < 60; ++i) EXPECT_TRUE(prefs::writeBytes("DefaultBank", value));
    };
    std::thread reader([&] {
        while (!stop) {
            const auto value = prefs::readBytes("DefaultBank");
            ASSERT_TRUE(value);
            ASSERT_TRUE(*value == a || *value == b)
                << "torn value of " << value->size() << " bytes";
        }
    });
    std::thread w1(writer, std::cref(a)), w2(writer, std::cref(b));
    w1.join();
    w2.join();
    stop = true;
    reader.join();
}

}  // namespace
