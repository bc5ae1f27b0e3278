// KeymapTranslator on xkbcommon. DIK codes of the main block and the keypad
// are the PC's set-1 scan codes, which are also the Linux input key codes;
// X key codes are those plus 8.
#include "platform/keymap.h"

#include <xkbcommon/xkbcommon.h>

namespace platform {

namespace {

constexpr xkb_keycode_t kEvdevToXkb = 8;

// The Linux key code of a DIK code, 0 for keys outside the table.
xkb_keycode_t EvdevFromDik(int dik)
{
    if (dik > 0 && dik <= 0x58) return static_cast<xkb_keycode_t>(dik);
    switch (dik) {
    case 0x9C: return 96;   // keypad Enter
    case 0x9D: return 97;   // right Ctrl
    case 0xB5: return 98;   // keypad divide
    case 0xB8: return 100;  // right Alt (AltGr)
    default: return 0;
    }
}

// Modifier keys whose being held changes what other keys type.
constexpr int kModifierKeys[] = {0x2A, 0x36, 0x1D, 0x9D, 0x38, 0xB8};
constexpr int kDikCapsLock = 0x3A;
constexpr int kDikNumLock = 0x45;

}  // namespace

struct KeymapTranslator::Impl {
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    ~Impl()
    {
        if (keymap) xkb_keymap_unref(keymap);
        if (context) xkb_context_unref(context);
    }
};

KeymapTranslator::KeymapTranslator() : impl_(std::make_unique<Impl>()) {}
KeymapTranslator::~KeymapTranslator() = default;
KeymapTranslator::KeymapTranslator(KeymapTranslator&&) noexcept = default;
KeymapTranslator& KeymapTranslator::operator=(KeymapTranslator&&) noexcept = default;

bool KeymapTranslator::Loaded() const { return impl_->keymap != nullptr; }

bool KeymapTranslator::Load(const std::string& layout, const std::string& variant, std::string* why)
{
    if (impl_->context == nullptr) impl_->context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (impl_->context == nullptr) {
        *why = "no keyboard description context";
        return false;
    }
    xkb_rule_names names{};
    names.rules = "evdev";
    names.model = "pc105";
    names.layout = layout.c_str();
    names.variant = variant.c_str();
    names.options = "";
    xkb_keymap* keymap = xkb_keymap_new_from_names(impl_->context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        *why = "keyboard layout \"" + layout + "\" cannot be compiled (is xkb-data installed?)";
        return false;
    }
    if (impl_->keymap) xkb_keymap_unref(impl_->keymap);
    impl_->keymap = keymap;
    return true;
}

unsigned int KeymapTranslator::Character(int dik, const unsigned char keys[256], bool capsLock,
                                         bool numLock) const
{
    const xkb_keycode_t key = EvdevFromDik(dik);
    if (impl_->keymap == nullptr || key == 0) return 0;
    xkb_state* state = xkb_state_new(impl_->keymap);
    if (state == nullptr) return 0;
    // A lock is set by one press and release of its key, as on the device.
    if (capsLock) {
        xkb_state_update_key(state, kDikCapsLock + kEvdevToXkb, XKB_KEY_DOWN);
        xkb_state_update_key(state, kDikCapsLock + kEvdevToXkb, XKB_KEY_UP);
    }
    if (numLock) {
        xkb_state_update_key(state, kDikNumLock + kEvdevToXkb, XKB_KEY_DOWN);
        xkb_state_update_key(state, kDikNumLock + kEvdevToXkb, XKB_KEY_UP);
    }
    for (int modifier : kModifierKeys)
        if (modifier != dik && (keys[modifier] & 0x80) != 0)
            xkb_state_update_key(state, EvdevFromDik(modifier) + kEvdevToXkb, XKB_KEY_DOWN);
    const unsigned int character = xkb_state_key_get_utf32(state, key + kEvdevToXkb);
    xkb_state_unref(state);
    return character;
}

}  // namespace platform
