// The preset bar: its views, built on open and forgotten on close, what its
// controls do, and what loads on other threads show in it.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "editor/CKavTextEdit.h"
#include "editor/CPresetSystemEditor.h"
#include "editor/MyFrame.h"
#include "editor/preset_bar_controls.h"
#include "gui/CBitmap.h"
#include "gui/COptionMenu.h"
#include "presets/CPresetSystemEffect.h"

namespace {

constexpr int kBackgroundBitmap = 128;
constexpr int kManualBitmap = 989;
constexpr int kLoadBitmap = 990;
constexpr int kSaveBitmap = 991;
constexpr int kDefaultBankBitmap = 992;
constexpr int kDefaultPresetBitmap = 993;
constexpr int kRockerBitmap = 995;

constexpr long kMenuStyle = 0x1E00;
constexpr long kMenuItemsPerColumn = 12;
constexpr CColor kNameBackColor{209, 227, 238, 255};
constexpr CColor kNameTextColor{36, 36, 32, 255};

const CRect kNameRect{194, 447, 318, 461};
const CRect kMenuRect{320, 448, 333, 460};
const CRect kRockerRect{340, 447, 370, 460};

struct ButtonRow {
    long tag;
    CRect size;
    int bitmap;
};

// Button rows in the order they are added, after the field, menu and rocker.
const ButtonRow kBankButtons[] = {
    {CPresetSystemEditor::kTagLoadBank, {72, 447, 89, 462}, kLoadBitmap},
    {CPresetSystemEditor::kTagSaveBank, {22, 447, 39, 462}, kSaveBitmap},
    {CPresetSystemEditor::kTagDefaultBank, {39, 447, 71, 460}, kDefaultBankBitmap},
    {CPresetSystemEditor::kTagLoadPreset, {166, 447, 183, 462}, kLoadBitmap},
    {CPresetSystemEditor::kTagSavePreset, {104, 447, 121, 462}, kSaveBitmap},
    {CPresetSystemEditor::kTagDefaultPreset, {122, 447, 166, 460}, kDefaultPresetBitmap},
    {CPresetSystemEditor::kTagRecallA, {421, 447, 438, 462}, kLoadBitmap},
    {CPresetSystemEditor::kTagStoreA, {388, 447, 405, 462}, kSaveBitmap},
    {CPresetSystemEditor::kTagRecallB, {486, 447, 503, 462}, kLoadBitmap},
    {CPresetSystemEditor::kTagStoreB, {452, 447, 469, 462}, kSaveBitmap},
    {CPresetSystemEditor::kTagManual, {510, 449, 521, 458}, kManualBitmap},
};

std::string cutName(const char* text) {
    return text ? std::string(text, strnlen(text, CPresetSystemEditor::kShownNameLength))
                : std::string();
}

}  // namespace

// Puts what the mailbox delivers into the bar's views (user-interface thread).
class CPresetSystemEditor::BarDisplay final : public kt::PresetDisplay {
  public:
    explicit BarDisplay(CPresetSystemEditor& editor) : editor(editor) {}
    void showPresetName(const char* name) override {
        if (editor.nameField) editor.nameField->setText(name);
    }
    void setMenuEntry(int preset, const char* name) override {
        if (editor.presetMenu) editor.presetMenu->setEntry(preset, name);
    }
    void selectMenuEntry(int preset) override {
        if (editor.presetMenu) editor.presetMenu->setCurrent(preset);
    }

  private:
    CPresetSystemEditor& editor;
};

bool CPresetSystemEditor::open(void* parent) {
    AEffGUIEditor::open(parent);
    if (!effect || !frame) return false;
    forgetBar();
    buildBar();
    return true;
}

void CPresetSystemEditor::buildBar() {
    // Everything posted so far is older than the presets the bar starts from.
    mailbox.forgetPending();
    const int current = presetEffect()->getPresetNo();

    CBitmap* background = new CBitmap(kBackgroundBitmap);
    const CCoord fontSize = kNormalFontSmaller->getSize();
    const CCoord centre = (kNameRect.top + kNameRect.bottom) / 2;
    const CRect nameSize(kNameRect.left, centre - fontSize / 2 - 2, kNameRect.right,
                         centre + fontSize / 2 + 2);
    nameField =
        new CKavTextEdit(nameSize, this, kTagName, presetName(current).c_str(), background, 0);
    nameField->setBackOffset(nameSize.getTopLeft());
    nameField->setBackColor(kNameBackColor);
    nameField->setFont(kNormalFontSmaller);
    nameField->setFontColor(kNameTextColor);
    nameField->setFrameColor(kNameTextColor);
    nameField->setHoriAlign(kCenterText);
    nameField->setMaxTextLength(kShownNameLength);
    frame->addView(nameField);

    presetMenu = new COptionMenu(kMenuRect, this, kTagMenu, background, nullptr, kMenuStyle);
    presetMenu->setBackOffset(kMenuRect.getTopLeft());
    presetMenu->setNbItemsPerColumn(kMenuItemsPerColumn);
    for (int n = 0; n < kt::kNumPresets; ++n) presetMenu->addEntry(presetName(n).c_str());
    presetMenu->setCurrent(current);
    frame->addView(presetMenu);
    background->forget();

    CBitmap* rockerImages = new CBitmap(kRockerBitmap);
    rocker = new CKvRockerSwitch(kRockerRect, this, kTagRocker, rockerImages->getHeight() / 5,
                                 rockerImages);
    frame->addView(rocker);
    rockerImages->forget();

    for (const ButtonRow& row : kBankButtons) {
        CBitmap* images = new CBitmap(row.bitmap);
        const CCoord imageHeight = std::floor(images->getHeight() / 3);
        const CPoint origin(0, 0);
        switch (row.tag) {
            case kTagLoadBank:
            case kTagSaveBank:
            case kTagLoadPreset:
            case kTagSavePreset: {
                auto* button = new CSaveLoadButton(row.size, this, row.tag, imageHeight, images);
                frame->addView(button);
                CSaveLoadButton** slot = row.tag == kTagLoadBank     ? &loadBankButton
                                         : row.tag == kTagSaveBank   ? &saveBankButton
                                         : row.tag == kTagLoadPreset ? &loadPresetButton
                                                                     : &savePresetButton;
                *slot = button;
                break;
            }
            default: {
                const bool doubleClickOnly =
                    row.tag == kTagDefaultBank || row.tag == kTagDefaultPreset;
                auto* button = new CKvKickButton(row.size, this, row.tag, imageHeight, images,
                                                 origin, doubleClickOnly);
                frame->addView(button);
                CKvKickButton** slot = row.tag == kTagDefaultBank     ? &defaultBankButton
                                       : row.tag == kTagDefaultPreset ? &defaultPresetButton
                                       : row.tag == kTagRecallA       ? &recallAButton
                                       : row.tag == kTagStoreA        ? &storeAButton
                                       : row.tag == kTagRecallB       ? &recallBButton
                                       : row.tag == kTagStoreB        ? &storeBButton
                                                                      : &manualButton;
                *slot = button;
                break;
            }
        }
        images->forget();
    }
}

void CPresetSystemEditor::forgetBar() {
    nameField = nullptr;
    presetMenu = nullptr;
    rocker = nullptr;
    loadBankButton = saveBankButton = loadPresetButton = savePresetButton = nullptr;
    defaultBankButton = defaultPresetButton = nullptr;
    storeAButton = storeBButton = recallAButton = recallBButton = nullptr;
    manualButton = nullptr;
}

std::string CPresetSystemEditor::presetName(int n) {
    n = std::clamp(n, 0, kt::kNumPresets - 1);
    return cutName(presetEffect()->preset(n).nameText().c_str());
}

// ---- What the controls do (user-interface thread).

void CPresetSystemEditor::valueChanged(CControl* control) {
    if (!effect || !control) return;
    CPresetSystemEffect* fx = presetEffect();
    const float value = control->getValue();
    switch (control->getTag()) {
        case kTagName:
            onNameEdited();
            break;
        case kTagRocker: {
            if (value == 0) break;  // the release
            const int n =
                std::clamp(fx->getPresetNo() + (value > 0 ? 1 : -1), 0, kt::kNumPresets - 1);
            choosePreset(n, presetName(n));
            break;
        }
        case kTagMenu: {
            const int n =
                std::clamp(static_cast<int>(std::trunc(value + 0.5f)), 0, kt::kNumPresets - 1);
            const std::string title =
                presetMenu ? cutName(presetMenu->getEntryTitle(n)) : presetName(n);
            choosePreset(n, title);
            break;
        }
        case kTagLoadBank:
            loadBank(value == 0.5f);
            break;
        case kTagLoadPreset:
            loadPreset(value == 0.5f);
            break;
        case kTagSaveBank:
            saveBank();
            break;
        case kTagSavePreset:
            savePreset();
            break;
        case kTagDefaultBank:
            if (value >= 0.75f)
                saveDefaultBank();
            else
                resetDefaultBank();
            break;
        case kTagDefaultPreset:
            if (value >= 0.75f)
                saveDefaultPreset();
            else
                resetDefaultPreset();
            break;
        case kTagStoreA:
            storeA();
            break;
        case kTagStoreB:
            storeB();
            break;
        case kTagRecallA:
            recallA();
            break;
        case kTagRecallB:
            recallB();
            break;
        case kTagManual:
            openManual();
            // The opener's window may take the mouse before the button's release.
            if (manualButton) manualButton->release();
            break;
        default:
            return;
    }
    showPendingInBar();
}

void CPresetSystemEditor::choosePreset(int n, const std::string& name) {
    selectMenuEntry(n);
    showPresetName(name.c_str());
    presetEffect()->setPresetNo(n);
    presetEffect()->setPresetName(name.c_str());
}

void CPresetSystemEditor::onNameEdited() {
    if (!nameField) return;
    nameChangedInternal(cutName(nameField->getText()).c_str());
}

void CPresetSystemEditor::nameChangedInternal(const char* name) {
    const std::string shown = cutName(name);
    showPresetName(shown.c_str());
    setMenuEntry(presetEffect()->getPresetNo(), shown.c_str());
    presetEffect()->setPresetName(shown.c_str());
    showPendingInBar();
}

void CPresetSystemEditor::nameChangedExternal(const char* name) {
    if (!name) return;
    const std::string shown = cutName(name);
    showPresetName(shown.c_str());
    setMenuEntry(presetEffect()->getPresetNo(), shown.c_str());
}

void CPresetSystemEditor::beginEdit(long index) {
    if (index < kTagName) AEffGUIEditor::beginEdit(index);
}

void CPresetSystemEditor::endEdit(long index) {
    if (index < kTagName) AEffGUIEditor::endEdit(index);
}

// ---- What loads show, from any thread.

void CPresetSystemEditor::showPresetName(const char* name) {
    mailbox.postName(name);
}

void CPresetSystemEditor::setMenuEntry(int preset, const char* name) {
    mailbox.postMenuEntry(preset, name);
}

void CPresetSystemEditor::selectMenuEntry(int preset) {
    mailbox.postSelection(preset);
}

void CPresetSystemEditor::showPendingInBar() {
    if (!nameField && !presetMenu) return;  // closed: the next open reads the presets
    BarDisplay bar(*this);
    mailbox.deliver(bar);
}
