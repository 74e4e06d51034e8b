// Preset and bank files: the dialogs, and the loads and saves they run once a
// path is chosen. Whole images (files and stored values alike) are dispatched
// here on their kind byte.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace {

// Larger than any image this program reads (a bank is 27041 bytes); a
// larger file is refused rather than read into memory.
constexpr long kMaxImageBytes = 1L << 20;

bool readImageFile(const char* name, const char* dir, std::vector<unsigned char>* bytes) {
    XPlatFile* file = nullptr;
    const long length = XPlatFileOpen(name, dir, &file, false);
    if (!file) return false;
    bool ok = length > 4 && length <= kMaxImageBytes;
    if (ok) {
        bytes->resize(static_cast<std::size_t>(length));
        ok = XPlatFileRead(file, bytes->data(), length) == length;
    }
    XPlatFileClose(file);
    return ok;
}

// The byte order of an image, with the user's reversal applied; false when
// the identifier is not this effect's in either order.
bool imageOrder(const unsigned char* data, std::int32_t id, bool reversed, bool* swapped) {
    const kt::ByteOrder order = kt::detectByteOrder(data, id);
    if (order == kt::ByteOrder::rejected) return false;
    *swapped = (order == kt::ByteOrder::swapped) != reversed;
    return true;
}

// Whether an image may be read at all: long enough for its identifier and
// kind, not absurdly long, and this effect's identifier in either order.
bool acceptImage(CPresetSystemEffect* fx, const unsigned char* data, long length, bool reversed,
                 bool* swapped) {
    return fx && data && length > 4 && length <= kMaxImageBytes &&
           imageOrder(data, fx->getUniqueID(), reversed, swapped);
}

// The body after a current-layout header, cut to the length the header gives.
bool headerAndBody(const unsigned char* data, long length, bool swapped, newpresetheader* header,
                   int* bodyLength) {
    if (length < kt::kImageHeaderBytes) return false;
    *header = kt::readImageHeader(data, swapped);
    if (header->bodyLength < 0) return false;
    *bodyLength =
        static_cast<int>(std::min<long>(header->bodyLength, length - kt::kImageHeaderBytes));
    return true;
}

// Whether a current-layout file of the expected kind holds less than its
// header announces: read anyway, it would be taken in part. Old layouts
// carry no length of their own.
bool shorterThanItsHeader(CPresetSystemEffect* fx, const std::vector<unsigned char>& bytes,
                          unsigned char kind, bool reversed) {
    bool swapped = false;
    if (!fx || bytes.size() < 5 || bytes[4] != kind ||
        !imageOrder(bytes.data(), fx->getUniqueID(), reversed, &swapped))
        return false;
    if (bytes.size() < static_cast<std::size_t>(kt::kImageHeaderBytes)) return true;
    const newpresetheader header = kt::readImageHeader(bytes.data(), swapped);
    return header.bodyLength > static_cast<long>(bytes.size()) - kt::kImageHeaderBytes;
}

void alertCutShort(const char* what, const char* path) {
    const std::string message = std::string("Could not load the ") + what +
                                " file: it is shorter than its header says (cut short?).\n" + path;
    XPlatDisplayAlert(message.c_str());
}

}  // namespace

bool CPresetSystemEditor::loadPresetImage(const unsigned char* data, long length, bool reversed) {
    CPresetSystemEffect* fx = presetEffect();
    bool swapped = false;
    if (!acceptImage(fx, data, length, reversed, &swapped)) return false;
    const auto* chars = reinterpret_cast<const char*>(data);
    const int rest = static_cast<int>(length - kt::kOldImagePrefixBytes);
    switch (data[4]) {
        case kt::kKindOldPreset:
            return BufferToPresetOld(chars + kt::kOldImagePrefixBytes, rest, swapped,
                                     static_cast<int>((length - 29) / 4));
        case kt::kKindPreset: {
            newpresetheader header;
            int bodyLength = 0;
            if (!headerAndBody(data, length, swapped, &header, &bodyLength)) return false;
            return BufferToPreset(chars + kt::kImageHeaderBytes, bodyLength, &header, swapped);
        }
        default:
            return false;
    }
}

bool CPresetSystemEditor::loadBankImage(const unsigned char* data, long length, bool reversed) {
    CPresetSystemEffect* fx = presetEffect();
    bool swapped = false;
    if (!acceptImage(fx, data, length, reversed, &swapped)) return false;
    const auto* chars = reinterpret_cast<const char*>(data);
    const int rest = static_cast<int>(length - kt::kOldImagePrefixBytes);
    switch (data[4]) {
        case kt::kKindOldBank:
            return BufferToBankOld(chars + kt::kOldImagePrefixBytes, rest, swapped, kt::kNumPresets,
                                   static_cast<int>(((length - 5) / kt::kNumPresets - 24) / 4));
        case kt::kKindBank: {
            newpresetheader header;
            int bodyLength = 0;
            if (!headerAndBody(data, length, swapped, &header, &bodyLength)) return false;
            return BufferToBank(chars + kt::kImageHeaderBytes, bodyLength, &header, swapped);
        }
        default:
            return false;
    }
}

bool CPresetSystemEditor::loadPresetFile(const char* path, bool reversed) {
    // The names are remembered before the file is opened, even if the load fails.
    if (!XPlatGetFileNameAndDir(path, presetFileName, presetDirectory)) return false;
    std::vector<unsigned char> bytes;
    if (!readImageFile(presetFileName, presetDirectory, &bytes)) return false;
    if (shorterThanItsHeader(presetEffect(), bytes, kt::kKindPreset, reversed)) {
        alertCutShort("preset", path);
        return false;
    }
    return loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), reversed);
}

bool CPresetSystemEditor::loadBankFile(const char* path, bool reversed) {
    if (!XPlatGetFileNameAndDir(path, bankFileName, presetDirectory)) return false;
    std::vector<unsigned char> bytes;
    if (!readImageFile(bankFileName, presetDirectory, &bytes)) return false;
    if (shorterThanItsHeader(presetEffect(), bytes, kt::kKindBank, reversed)) {
        alertCutShort("bank", path);
        return false;
    }
    if (!loadBankImage(bytes.data(), static_cast<long>(bytes.size()), reversed)) return false;
    // A bank from a file always starts on its first preset.
    showAppliedPreset(0);
    return true;
}

bool CPresetSystemEditor::saveImageFile(const char* path, bool bank) {
    const char* what = bank ? "bank" : "preset";
    char* fileName = bank ? bankFileName : presetFileName;
    bool ok = XPlatGetFileNameAndDir(path, fileName, presetDirectory);
    char* image = nullptr;
    const int length = ok ? (bank ? BankToBuffer(&image) : PresetToBuffer(&image)) : 0;
    std::unique_ptr<char[]> owned(image);
    ok = ok && image;
    if (ok) {
        XPlatFile* file = nullptr;
        XPlatFileOpen(fileName, presetDirectory, &file, true);
        ok = file && XPlatFileWrite(file, image, length) == length;
        ok = XPlatFileClose(file) && ok;
    }
    if (!ok) {
        const std::string message =
            std::string("Could not save the ") + what + " file:\n" + (path ? path : "");
        XPlatDisplayAlert(message.c_str());
    }
    return ok;
}

bool CPresetSystemEditor::savePresetFile(const char* path) {
    return saveImageFile(path, false);
}

bool CPresetSystemEditor::saveBankFile(const char* path) {
    return saveImageFile(path, true);
}

void CPresetSystemEditor::openDialog(PendingDialog kind, bool reversed) {
    if (!hasFrame()) return;
    const bool bank = kind == PendingDialog::loadBank || kind == PendingDialog::saveBank;
    const bool save = kind == PendingDialog::saveBank || kind == PendingDialog::savePreset;
    kt::FileDialogOptions options;
    options.save = save;
    options.title = std::string(save ? "Save " : "Load ") + (bank ? "bank" : "preset");
    if (reversed) options.title += " (endian-reversed)";
    options.folder = presetDirectory;
    if (save) options.defaultName = bank ? bankFileName : presetFileName;
    options.filters.push_back(bank ? kt::FileFilter{"Kav Bank", "*.kvb"}
                                   : kt::FileFilter{"Kav Preset", "*.kav"});
    dialog = std::make_unique<kt::FileDialog>(options);
    pending = kind;
    pendingReversed = reversed;
}

void CPresetSystemEditor::close() {
    dialog.reset();
    pending = PendingDialog::none;
    AEffGUIEditor::close();
}

void CPresetSystemEditor::idle() {
    AEffGUIEditor::idle();
    if (!dialog) return;
    const kt::FileDialog::State state = dialog->poll();
    if (state == kt::FileDialog::State::running) return;
    const std::string path = dialog->path();
    const PendingDialog kind = pending;
    dialog.reset();
    pending = PendingDialog::none;
    if (state != kt::FileDialog::State::chosen || path.empty()) return;
    switch (kind) {
        case PendingDialog::loadPreset:
            loadPresetFile(path.c_str(), pendingReversed);
            break;
        case PendingDialog::loadBank:
            loadBankFile(path.c_str(), pendingReversed);
            break;
        case PendingDialog::savePreset:
            savePresetFile(path.c_str());
            break;
        case PendingDialog::saveBank:
            saveBankFile(path.c_str());
            break;
        case PendingDialog::none:
            break;
    }
}

void CPresetSystemEditor::loadPreset(bool reversed) {
    if (!dialog) openDialog(PendingDialog::loadPreset, reversed);
}

void CPresetSystemEditor::loadBank(bool reversed) {
    if (!dialog) openDialog(PendingDialog::loadBank, reversed);
}

void CPresetSystemEditor::savePreset() {
    if (!dialog) openDialog(PendingDialog::savePreset, false);
}

void CPresetSystemEditor::saveBank() {
    if (!dialog) openDialog(PendingDialog::saveBank, false);
}
