// The small helpers of the file layer.
#include "presets/xplat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/temp_config.h"

namespace {

std::string ascii(const char* in) {
    std::string out(std::strlen(in) + 1, '\0');
    EXPECT_EQ(utf8_to_ascii(in, out.data()), static_cast<int>(std::strlen(in)));
    return out.c_str();
}

TEST(XPlatText, NonAsciiRunsBecomeOneDash) {
    EXPECT_EQ(ascii("plain"), "plain");
    EXPECT_EQ(ascii("Bänk"), "B-nk");
    EXPECT_EQ(ascii("日本語 file"), "- file");
    EXPECT_EQ(ascii(""), "");
}

TEST(XPlatPaths, SplitAtTheLastSlash) {
    char name[kXPlatNameBytes] = "old name";
    char dir[kXPlatNameBytes] = "old dir";
    ASSERT_TRUE(XPlatGetFileNameAndDir("/home/me/banks/a.kvb", name, dir));
    EXPECT_STREQ(name, "a.kvb");
    EXPECT_STREQ(dir, "/home/me/banks/");
    EXPECT_FALSE(XPlatGetFileNameAndDir("no slash", name, dir));
    EXPECT_STREQ(name, "a.kvb");
    // 256 characters fit a buffer, 257 do not.
    const std::string longest = "/" + std::string(256, 'x');
    EXPECT_TRUE(XPlatGetFileNameAndDir(longest.c_str(), name, dir));
    EXPECT_FALSE(XPlatGetFileNameAndDir(("/" + std::string(257, 'x')).c_str(), name, dir));
    EXPECT_FALSE(XPlatGetFileNameAndDir((std::string(256, 'd') + "/n").c_str(), name, dir));
    EXPECT_STREQ(dir, "/");
}

TEST(XPlatFiles, NullHandlesAndOverlongPaths) {
    EXPECT_EQ(XPlatFileRead(nullptr, nullptr, 10), 0);
    EXPECT_EQ(XPlatFileWrite(nullptr, "x", 1), 0);
    EXPECT_FALSE(XPlatFileClose(nullptr));
    XPlatFile* file = reinterpret_cast<XPlatFile*>(1);
    const std::string dir = "/tmp/" + std::string(300, 'd') + "/";
    const std::string name(300, 'n');
    EXPECT_EQ(XPlatFileOpen(name.c_str(), dir.c_str(), &file, false), 0);
    EXPECT_EQ(file, nullptr);
}

TEST(XPlatFiles, WriteThenReadBack) {
    kt::test::TempConfig config;
    const std::string dir = config.root() + "/";
    XPlatFile* file = nullptr;
    EXPECT_EQ(XPlatFileOpen("f.bin", dir.c_str(), &file, true), 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(XPlatFileWrite(file, "abcdef", 6), 6);
    EXPECT_FALSE(std::filesystem::exists(dir + "f.bin"));  // not before the close
    EXPECT_TRUE(XPlatFileClose(file));
    EXPECT_EQ(XPlatFileOpen("f.bin", dir.c_str(), &file, false), 6);
    char buffer[8] = {};
    EXPECT_EQ(XPlatFileRead(file, buffer, 8), 6);
    EXPECT_EQ(XPlatFileWrite(file, "x", 1), 0);  // opened for reading only
    XPlatFileClose(file);
    EXPECT_STREQ(buffer, "abcdef");
}

}  // namespace
