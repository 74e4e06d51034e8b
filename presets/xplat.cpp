#include "presets/xplat.h"

#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/atomic_file.h"
#include "platform/dialogs.h"

struct XPlatFile {
    std::FILE* stream = nullptr;              // a file being read
    std::unique_ptr<kt::AtomicFile> written;  // a file being written
};

namespace {

long lengthOf(std::FILE* stream) {
    struct stat info {};
    if (::fstat(::fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<long>(info.st_size);
}

void defaultAlert(const char* message) {
    kt::showAlert(message);
}

std::atomic<XPlatAlertHandler> alertHandler{defaultAlert};

}  // namespace

long XPlatFileOpen(const char* name, const char* dir, XPlatFile** handle, bool write) {
    *handle = nullptr;
    if (!name || !dir) return 0;
    const std::size_t nameLength = std::strlen(name);
    const std::size_t dirLength = std::strlen(dir);
    if (nameLength == 0 || nameLength + dirLength > static_cast<std::size_t>(kXPlatPathMax))
        return 0;
    const std::string path = std::string(dir) + name;
    auto file = std::make_unique<XPlatFile>();
    long length = 0;
    if (write) {
        file->written = std::make_unique<kt::AtomicFile>();
        if (!file->written->open(path)) return 0;
    } else {
        file->stream = std::fopen(path.c_str(), "rbe");
        if (!file->stream) return 0;
        length = lengthOf(file->stream);
        if (length < 0) {
            std::fclose(file->stream);
            return 0;
        }
    }
    *handle = file.release();
    return length;
}

long XPlatFileRead(XPlatFile* handle, void* buffer, long n) {
    if (!handle || !handle->stream || n <= 0) return 0;
    return static_cast<long>(std::fread(buffer, 1, static_cast<std::size_t>(n), handle->stream));
}

long XPlatFileWrite(XPlatFile* handle, const void* buffer, long n) {
    if (!handle || !handle->written || n <= 0) return 0;
    return handle->written->write(buffer, static_cast<std::size_t>(n)) ? n : 0;
}

bool XPlatFileClose(XPlatFile* handle) {
    if (!handle) return false;
    const std::unique_ptr<XPlatFile> file(handle);
    if (file->written) return file->written->commit();
    std::fclose(file->stream);
    return true;
}

bool XPlatGetFileNameAndDir(const char* path, char* name, char* dir) {
    if (!path) return false;
    const char* slash = std::strrchr(path, '/');
    if (!slash) return false;
    const std::size_t dirLength = static_cast<std::size_t>(slash - path) + 1;
    const std::size_t nameLength = std::strlen(slash + 1);
    if (dirLength >= kXPlatNameBytes || nameLength >= kXPlatNameBytes) return false;
    std::memcpy(dir, path, dirLength);
    dir[dirLength] = 0;
    std::memcpy(name, slash + 1, nameLength + 1);
    return true;
}

void XPlatDisplayAlert(const char* message) {
    const std::string text = message ? message : "";
    std::string ascii(text.size() + 1, '\0');
    utf8_to_ascii(text.c_str(), ascii.data());
    alertHandler.load(std::memory_order_relaxed)(ascii.c_str());
}

XPlatAlertHandler XPlatSetAlertHandler(XPlatAlertHandler handler) {
    return alertHandler.exchange(handler ? handler : defaultAlert, std::memory_order_relaxed);
}

int utf8_to_ascii(const char* in, char* out) {
    const char* start = in;
    bool inRun = false;
    for (; *in; ++in) {
        const auto byte = static_cast<unsigned char>(*in);
        if (byte < 0x80) {
            *out++ = *in;
            inRun = false;
        } else if (!inRun) {
            *out++ = '-';
            inRun = true;
        }
    }
    *out = 0;
    return static_cast<int>(in - start);
}

namespace {

constexpr int kControllerNames = 130;

struct NamedController {
    int number;
    const char* name;
};

constexpr NamedController kNamedControllers[] = {
    {0, "bank sel MSB"},  {1, "modulation"},     {2, "breath"},         {4, "foot"},
    {5, "portamento"},    {6, "data ent MSB"},   {7, "main volume"},    {8, "balance"},
    {10, "pan"},          {11, "expression"},    {16, "gen purp 1"},    {17, "gen purp 2"},
    {18, "gen purp 3"},   {19, "gen purp 4"},    {32, "bank sel LSB"},  {33, "modul. LSB"},
    {34, "breath LSB"},   {36, "foot LSB"},      {37, "porta LSB"},     {38, "data ent LSB"},
    {39, "main vol LSB"}, {40, "balance LSB"},   {42, "pan LSB"},       {43, "express. LSB"},
    {64, "sustain"},      {65, "porta on/off"},  {66, "sostenuto"},     {67, "soft pedal"},
    {68, "legato FS"},    {69, "hold 2"},        {70, "sound var"},     {71, "harmonic"},
    {72, "release time"}, {73, "attack time"},   {74, "brightness"},    {80, "gen purp 5"},
    {81, "gen purp 6"},   {82, "gen purp 7"},    {83, "gen purp 8"},    {84, "porta ctrl"},
    {91, "ext FX"},       {92, "tremolo"},       {93, "chorus"},        {94, "detune"},
    {95, "phaser"},       {96, "data incr"},     {97, "data decr"},     {98, "NRPN LSB"},
    {99, "NRPN MSB"},     {100, "RPN LSB"},      {101, "RPN MSB"},      {120, "all snd off"},
    {121, "reset ctrl"},  {122, "local ctrl"},   {123, "all note off"}, {124, "omni off"},
    {125, "omni on"},     {126, "mono mode on"}, {127, "poly mode on"},
};

}  // namespace

void convertCC(float v, char* out) {
    // NaN and negative values name controller 0; the index never passes 129.
    int index = 0;
    if (v > 0.0f)
        index = v >= 1.0f ? kControllerNames - 1 : static_cast<int>(std::floor(130.0f * v));
    if (index > kControllerNames - 1) index = kControllerNames - 1;
    if (index == 129) {
        out[0] = 0;
        return;
    }
    if (index == 128) {
        std::strcpy(out, "not assigned");
        return;
    }
    for (const auto& named : kNamedControllers) {
        if (named.number == index) {
            std::strcpy(out, named.name);
            return;
        }
    }
    const std::string text = "control " + std::to_string(index);
    std::memcpy(out, text.c_str(), text.size() + 1);
}
