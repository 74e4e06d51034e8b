// kt_artgen: draws every bitmap of the editor and writes it as <dir>/<resource number>.png.
// Usage: kt_artgen <dir>. Fails when a bitmap is missing or smaller than its views need.
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "resources/artgen/artwork.h"
#include "resources/artgen/pixel_font.h"

namespace kt::art {
namespace {

struct Need {
    int width, height;
};

// The smallest size of each bitmap: every copy the editor makes from it stays inside.
const std::map<int, Need> kNeeds = {
    {128, {524, 462}}, {129, {16, 432}}, {130, {16, 408}},  {131, {27, 367}},  {132, {27, 367}},
    {133, {27, 367}},  {134, {27, 367}}, {135, {27, 367}},  {136, {27, 367}},  {137, {5, 1536}},
    {138, {5, 1536}},  {139, {33, 57}},  {140, {33, 38}},   {141, {35, 496}},  {142, {33, 341}},
    {143, {33, 434}},  {144, {33, 57}},  {145, {33, 248}},  {146, {90, 75}},   {147, {48, 4747}},
    {148, {48, 4747}}, {149, {35, 105}}, {150, {56, 5555}}, {151, {58, 5656}}, {152, {50, 4848}},
    {153, {49, 4747}}, {154, {16, 432}}, {155, {16, 408}},  {156, {58, 306}},  {157, {77, 31}},
    {160, {33, 57}},   {161, {18, 72}},  {162, {33, 57}},   {163, {33, 57}},   {164, {33, 57}},
    {165, {33, 57}},   {166, {33, 57}},  {167, {16, 146}},  {170, {33, 19}},   {989, {11, 27}},
    {990, {17, 45}},   {991, {17, 45}},  {992, {32, 39}},   {993, {44, 39}},   {994, {17, 45}},
    {995, {30, 65}},
};

}  // namespace

void drawFonts(const Emit& emit) {
    // 137: dark glyphs for light cells, light glyphs for the dark inverse cells.
    Canvas normal(kGlyphWidth, 192 * kGlyphHeight);
    drawFontBitmap(normal, kDarkText, kPanel);
    emit(137, normal);
    // 138, the over font: its inverse half is printed on signal red.
    Canvas over(kGlyphWidth, 192 * kGlyphHeight);
    drawFontBitmap(over, kDarkText, kWhite);
    emit(138, over);
}

}  // namespace kt::art

int main(int argc, char** argv) {
    using namespace kt::art;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::map<int, std::pair<int, int>> written;
    bool ok = true;
    const Emit emit = [&](int id, const Canvas& canvas) {
        const std::string path = dir + "/" + std::to_string(id) + ".png";
        if (!canvas.writePng(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ok = false;
        }
        written[id] = {canvas.width(), canvas.height()};
    };
    drawBackground(emit);
    drawFonts(emit);
    drawMeters(emit);
    drawButtons(emit);
    drawSteppers(emit);
    drawKnobs(emit);
    drawPresetBar(emit);

    for (const auto& [id, need] : kNeeds) {
        const auto it = written.find(id);
        if (it == written.end()) {
            std::fprintf(stderr, "bitmap %d was not drawn\n", id);
            ok = false;
        } else if (it->second.first < need.width || it->second.second < need.height) {
            std::fprintf(stderr, "bitmap %d is %dx%d, needs %dx%d\n", id, it->second.first,
                         it->second.second, need.width, need.height);
            ok = false;
        }
    }
    for (const auto& [id, size] : written)
        std::printf("%4d  %3d x %4d\n", id, size.first, size.second);
    return ok ? 0 : 1;
}
