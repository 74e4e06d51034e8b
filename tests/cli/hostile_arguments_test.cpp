// Hostile arguments: refused with a reason, no crash or hang, no file changed or left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "tests/cli/cli_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_config.h"

namespace kt::test {
namespace {

namespace fs = std::filesystem;

void truncateToHalf(const fs::path& from, const fs::path& to) {
    const std::string bytes = readText(from);
    std::ofstream(to, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
}

// Every entry under root: links by target, folders by name, files by checksum and mode.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink()) {
            entries[name] = "link to " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            entries[name] = "folder";
        } else {
            entries[name] = std::to_string(std::hash<std::string>{}(readText(entry.path()))) +
                            " mode " +
                            std::to_string(static_cast<int>(entry.status().permissions()));
        }
    }
    return entries;
}

struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;  // words the error must contain
};

TEST(HostileArgumentsTest, AreRefusedAndChangeNoFile) {
    TempConfig config;
    TempDir dir;
    const fs::path root = dir.file("");
    auto at = [&](const char* name) { return dir.file(name); };
    ASSERT_EQ(runKavtamor({"demo-material", "--seconds", "0.5", at("a.wav")}).exitCode, 0);
    ASSERT_EQ(runKavtamor({"demo-material", "--seconds", "0.5", at("whole.flac")}).exitCode, 0);
    ASSERT_EQ(runKavtamor({"bank", "export", at("bank.kvb"), "--plugin", KT_MODULE_PATH}).exitCode,
              0);
    fs::copy_file(at("a.wav"), at("keep.wav"));
    fs::copy_file(at("a.wav"), at("protected.wav"));
    fs::copy_file(at("bank.kvb"), at("protected.kvb"));
    for (const char* name : {"protected.wav", "protected.kvb"})
        fs::permissions(at(name), fs::perms::owner_read | fs::perms::group_read);
    truncateToHalf(at("a.wav"), at("cut.wav"));
    truncateToHalf(at("whole.flac"), at("cut.flac"));
    truncateToHalf(at("bank.kvb"), at("cut.kvb"));
    std::ofstream(at("empty.wav")).flush();
    std::ofstream(at("text.wav")) << "not audio\n";
    AudioFile surround;
    surround.sampleRate = 44100;
    surround.channels = 3;
    surround.samples.assign(3 * 1000, 0.0);
    ASSERT_TRUE(writeFloatWav(at("three.wav"), surround));
    fs::create_directory(at("folder"));
    fs::create_directory(at("out.wav"));  // an empty folder named like an output
    fs::create_symlink("a.wav", at("link.wav"));
    const bool haveEditor = runKavtamor({"--help"}).out.find("editor") != std::string::npos;

    const std::string a = at("a.wav"), keep = at("keep.wav");
    std::vector<Case> cases = {
        {{"render", at("missing.wav"), keep}, 1, "missing.wav: it does not exist"},
        {{"render", at("empty.wav"), keep}, 1, "empty.wav: it is empty"},
        {{"render", at("text.wav"), keep}, 1, "cannot read"},
        {{"render", at("three.wav"), keep}, 1, "3 channels"},
        {{"render", at("folder"), keep}, 1, "folder: it is a directory"},
        {{"render", at("cut.wav"), keep}, 1, "cut short"},
        {{"render", at("cut.flac"), keep}, 1, "cut short"},
        {{"render", a, at("protected.wav")}, 1, "write-protected"},
        {{"render", a, at("out.wav")}, 1, "out.wav: it is a directory"},
        {{"render", a, (root / "." / "a.wav").string()}, 1, "same file"},
        {{"render", a, at("link.wav")}, 1, "same file"},
        {{"render", at("link.wav"), fs::absolute(at("a.wav")).string()}, 1, "same file"},
        {{"render", a, keep, "--set", "Drive=v=nan"}, 2, "number from 0 to 1"},
        {{"render", a, keep, "--set", "Release=v=inf"}, 2, "number from 0 to 1"},
        {{"render", a, keep, "--bits", "32"}, 2, "32f for float or 32i"},
        {{"render", a, keep, "--bits", "12"}, 2, "--bits takes 16, 24, 32i or 32f"},
        {{"render", a, at("keep.flac"), "--bits", "32f"}, 2, "FLAC"},
        {{"render", a, at("keep.xyz")}, 2, "output format"},
        {{"render", a, keep, "--precision", "80"}, 2, "--precision"},
        {{"render", a, keep, "--block", "0"}, 2, "--block"},
        {{"render", a}, 2, "expected an input and an output file"},
        {{"render", a, keep, "--frobnicate"}, 2, "unknown option --frobnicate"},
        {{"render", a, keep, "--preset", "Nope"}, 2, "no preset named"},
        {{"render", a, keep, "--bank", at("folder")}, 1, "folder: it is a directory"},
        {{"render", a, keep, "--bank", "/dev/zero"}, 1, "larger than any bank file"},
        {{"render", a, keep, "--bank", at("cut.kvb")}, 1, "shorter than its header says"},
        {{"render", a, keep, "--plugin", ""}, 1, "--plugin is empty"},
        {{"render", a, keep, "--loudness", "nan"}, 2, "--loudness takes"},
        {{"render", a, keep, "--loudness", "5"}, 2, "--loudness takes"},
        {{"render", a, keep, "--true-peak", "-1dB"}, 2, "--true-peak takes"},
        {{"render", a, keep, "--best-effort"}, 2, "--best-effort goes with"},
        {{"render", a, keep, "--album"}, 2, "--album goes with"},
        {{"render", a, keep, "--loudness", "-14", "--no-levels"}, 2, "--no-levels"},
        {{"render", a, keep, "--loudness", "-14", "--set", "AutoOut=on"}, 2, "AutoOut is on"},
        {{"render", a, keep, "-j", "0"}, 2, "-j takes"},
        {{"render", a, at("whole.flac"), keep}, 2, "several inputs need --output-dir"},
        {{"render", a, keep, "--format", "flac"}, 2, "--format goes with --output-dir"},
        {{"render", "--output-dir", at("folder"), "--format", "xyz", a}, 2, "--format xyz"},
        {{"render", "--output-dir", root.string(), a}, 1, "same file"},
        {{"render", "--output-dir", at("folder"), a, at("folder/../a.wav")}, 1, "written twice"},
        {{"render", a, keep, "--plot", at("plot.txt")}, 2, "--plot takes a .png"},
        {{"render", a, keep, "--json", a}, 1, "same file"},
        {{"render", a, keep, "--plugin", "/nonexistent.so"}, 1, "cannot load"},
        {{"bank", "show", at("folder")}, 1, "folder: it is a directory"},
        {{"bank", "show", "/dev/zero"}, 1, "larger than any bank file"},
        {{"bank", "show", at("cut.kvb")}, 1, "shorter than its header says"},
        {{"bank", "export", at("folder")}, 1, "it is a directory"},
        {{"bank", "export", at("protected.kvb")}, 1, "write-protected"},
        {{"demo-material", "--seconds", "nan", keep}, 2, "--seconds takes 0.5 to 3600"},
        {{"demo-material", at("out.wav")}, 1, "it is a directory"},
        {{"demo-material", at("protected.wav")}, 1, "write-protected"},
        {{"demo-material", at("keep.xyz")}, 2, "output format"},
        {{"bench", "--seconds", "inf"}, 2, "--seconds takes 0.1 to 36000"},
        {{"bench", "--against", ""}, 1, "--against is empty"},
        {{"info", "--plugin", ""}, 1, "--plugin is empty"},
        {{"presets", "--plugin", ""}, 1, "--plugin is empty"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    if (haveEditor) {
        cases.push_back({{"editor", "--input", at("folder")}, 1, "folder: it is a directory"});
        cases.push_back({{"editor", "--screenshot", at("out.wav")}, 1, "it is a directory"});
    }

    const auto before = snapshot(root);
    for (Case& c : cases) {
        const bool loadsModule = c.args[0] != "demo-material" && c.args[0] != "frobnicate";
        bool namesModule = false;
        for (const std::string& arg : c.args) namesModule |= arg == "--plugin";
        if (loadsModule && !namesModule) c.args.insert(c.args.end(), {"--plugin", KT_MODULE_PATH});
        std::string line;
        for (const std::string& arg : c.args) line += " " + arg;

        const CommandResult result = runKavtamor(c.args);
        EXPECT_EQ(result.exitCode, c.status) << line << "\n" << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << line << "\n" << result.err;
        EXPECT_EQ(snapshot(root), before) << line;
    }
}

}  // namespace
}  // namespace kt::test
