// Pictures compared with reference images; KT_UPDATE_REFERENCE writes new ones.
#pragma once

#include <filesystem>
#include <string>

namespace kt::test {

struct ImageDifference {
    bool comparable = false;
    double mean = 0;   // mean difference per channel, 0..255
    double share = 0;  // share of pixels with a channel off by more than 24
    bool close() const { return comparable && mean < 2.0 && share < 0.01; }
};

ImageDifference compareImages(const std::filesystem::path& a, const std::filesystem::path& b);

// tests/editor/reference/<name>.png in the source tree.
std::filesystem::path referencePath(const std::string& name);

}  // namespace kt::test
