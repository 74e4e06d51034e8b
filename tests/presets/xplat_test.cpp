// The file layer's text and path helpers (files are read and written in the editor tests).
#include "presets/xplat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

}  // namespace
