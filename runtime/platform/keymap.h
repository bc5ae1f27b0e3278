// A keyboard layout compiled in-process (xkbcommon), for translating a key
// and the modifier keys held with it into the character it types, without
// a window system. The scripted input source types through it.
#pragma once

#include <memory>
#include <string>

namespace platform {

class KeymapTranslator {
public:
    KeymapTranslator();
    ~KeymapTranslator();
    KeymapTranslator(const KeymapTranslator&) = delete;
    KeymapTranslator& operator=(const KeymapTranslator&) = delete;
    KeymapTranslator(KeymapTranslator&&) noexcept;
    KeymapTranslator& operator=(KeymapTranslator&&) noexcept;

    // Compiles the layout (such as "us" or "de", with an optional variant)
    // from the system's keyboard descriptions. False, with the reason in
    // *why, when it cannot be compiled; the previous layout then stays.
    bool Load(const std::string& layout, const std::string& variant, std::string* why);
    bool Loaded() const;

    // The character the key with DIK code dik types while the keys marked
    // 0x80 in keys (DIK-indexed) are held and the locks are as given: its
    // Unicode code point, 0 when it types none.
    unsigned int Character(int dik, const unsigned char keys[256], bool capsLock, bool numLock) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
