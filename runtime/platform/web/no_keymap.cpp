// Keyboard layouts for scripted input: the browser has no layout files, so a
// layout never loads and scripted keys type no characters.
#include "platform/keymap.h"

namespace platform {

struct KeymapTranslator::Impl {};

KeymapTranslator::KeymapTranslator() : impl_(std::make_unique<Impl>()) {}
KeymapTranslator::~KeymapTranslator() = default;
KeymapTranslator::KeymapTranslator(KeymapTranslator&&) noexcept = default;
KeymapTranslator& KeymapTranslator::operator=(KeymapTranslator&&) noexcept = default;

bool KeymapTranslator::Loaded() const { return false; }

bool KeymapTranslator::Load(const std::string&, const std::string&, std::string* why)
{
    if (why != nullptr) *why = "keyboard layouts are not available in the browser";
    return false;
}

unsigned int KeymapTranslator::Character(int, const unsigned char*, bool, bool) const { return 0; }

}  // namespace platform
