// KeymapTranslator on Windows: the layouts are tables of this program, not
// the system's. A scripted run must type the same characters on every
// machine, whatever layout its user has chosen, and Windows (and Wine) only
// translate through the layouts installed and loaded for the desktop. The
// tables hold the US layout and the German one, the layouts the scripts
// use; any other name is refused with the reason, as an unknown layout is
// on Linux.
#include "platform/keymap.h"

#include <array>

namespace platform {

namespace {

// What one key of the main block types: alone, with Shift, with AltGr
// (right Alt, or Ctrl with left Alt); 0 for nothing. Letters follow
// Caps Lock.
struct KeyCharacters {
    unsigned int plain = 0;
    unsigned int shifted = 0;
    unsigned int altGr = 0;
    bool letter = false;
};

using Layout = std::array<KeyCharacters, 0x59>;

// The characters of the main block's rows as strings in DIK order, the
// first of each row at the given code.
void Row(Layout& layout, int first, const char32_t* plain, const char32_t* shifted)
{
    for (int i = 0; plain[i] != 0; ++i) {
        KeyCharacters& key = layout[static_cast<std::size_t>(first + i)];
        key.plain = plain[i] == U'\x01' ? 0 : plain[i];
        key.shifted = shifted[i] == U'\x01' ? 0 : shifted[i];
        key.letter = key.plain >= 'a' && key.plain <= 'z';
    }
}

// The keys every layout shares: Escape, Backspace, Tab, Enter, Space and
// the keypad's operators.
void CommonKeys(Layout& layout)
{
    layout[0x01] = {0x1B, 0x1B};
    layout[0x0E] = {0x08, 0x08};
    layout[0x0F] = {0x09, 0x09};
    layout[0x1C] = {0x0D, 0x0D};
    layout[0x39] = {' ', ' '};
    layout[0x37] = {'*', '*'};
    layout[0x4A] = {'-', '-'};
    layout[0x4E] = {'+', '+'};
}

Layout UsLayout()
{
    Layout layout{};
    CommonKeys(layout);
    // \x01 marks a key of the row that types nothing.
    Row(layout, 0x02, U"1234567890-=", U"!@#$%^&*()_+");
    Row(layout, 0x10, U"qwertyuiop[]", U"QWERTYUIOP{}");
    Row(layout, 0x1E, U"asdfghjkl;'`", U"ASDFGHJKL:\"~");
    Row(layout, 0x2B, U"\\zxcvbnm,./", U"|ZXCVBNM<>?");
    layout[0x56] = {'<', '>'};
    return layout;
}

Layout GermanLayout()
{
    Layout layout{};
    CommonKeys(layout);
    // The acute and circumflex keys are dead keys: alone they type nothing.
    Row(layout, 0x02, U"1234567890\u00DF\x01", U"!\"\u00A7$%&/()=?\x01");
    Row(layout, 0x10, U"qwertzuiop\u00FC+", U"QWERTZUIOP\u00DC*");
    Row(layout, 0x1E, U"asdfghjkl\u00F6\u00E4\x01", U"ASDFGHJKL\u00D6\u00C4\u00B0");
    Row(layout, 0x2B, U"#yxcvbnm,.-", U"'YXCVBNM;:_");
    layout[0x56] = {'<', '>'};
    layout[0x1A].letter = layout[0x27].letter = layout[0x28].letter = true;  // the umlauts
    const struct {
        int dik;
        char32_t character;
    } altGr[] = {{0x03, U'\u00B2'}, {0x04, U'\u00B3'}, {0x08, U'{'}, {0x09, U'['},  {0x0A, U']'},
                 {0x0B, U'}'},      {0x0C, U'\\'},     {0x10, U'@'}, {0x12, U'\u20AC'}, {0x1B, U'~'},
                 {0x32, U'\u00B5'}, {0x56, U'|'}};
    for (const auto& key : altGr) layout[static_cast<std::size_t>(key.dik)].altGr = key.character;
    return layout;
}

bool Held(const unsigned char keys[256], int dik) { return (keys[dik] & 0x80) != 0; }

// The keypad's digit keys, 7 8 9 / 4 5 6 / 1 2 3 / 0 and the decimal point,
// which type with Num Lock on (and Shift off) alone.
unsigned int KeypadCharacter(int dik, bool numbers, unsigned int decimalPoint)
{
    constexpr char digits[] = "789-456+1230.";
    if (dik < 0x47 || dik > 0x53 || dik == 0x4A || dik == 0x4E) return 0;
    if (!numbers) return 0;
    const char c = digits[dik - 0x47];
    return c == '.' ? decimalPoint : static_cast<unsigned char>(c);
}

}  // namespace

struct KeymapTranslator::Impl {
    bool loaded = false;
    Layout layout{};
    unsigned int decimalPoint = '.';
};

KeymapTranslator::KeymapTranslator() : impl_(std::make_unique<Impl>()) {}
KeymapTranslator::~KeymapTranslator() = default;
KeymapTranslator::KeymapTranslator(KeymapTranslator&&) noexcept = default;
KeymapTranslator& KeymapTranslator::operator=(KeymapTranslator&&) noexcept = default;

bool KeymapTranslator::Loaded() const { return impl_->loaded; }

bool KeymapTranslator::Load(const std::string& layout, const std::string& variant, std::string* why)
{
    if (!variant.empty()) {
        *why = "keyboard layout \"" + layout + "\" has no variant \"" + variant + "\" on Windows";
        return false;
    }
    if (layout == "us") {
        impl_->layout = UsLayout();
        impl_->decimalPoint = '.';
    } else if (layout == "de") {
        impl_->layout = GermanLayout();
        impl_->decimalPoint = ',';
    } else {
        *why = "keyboard layout \"" + layout + "\" is not known on Windows (known: us, de)";
        return false;
    }
    impl_->loaded = true;
    return true;
}

unsigned int KeymapTranslator::Character(int dik, const unsigned char keys[256], bool capsLock,
                                         bool numLock) const
{
    if (!impl_->loaded || dik <= 0 || dik > 0xFF) return 0;
    const bool shift = Held(keys, 0x2A) || Held(keys, 0x36);
    const bool control = Held(keys, 0x1D) || Held(keys, 0x9D);
    const bool altGr = Held(keys, 0xB8) || (Held(keys, 0x1D) && Held(keys, 0x38));
    if (dik == 0x9C) return 0x0D;  // keypad Enter
    if (dik == 0xB5) return '/';   // keypad divide
    if (const unsigned int keypad = KeypadCharacter(dik, numLock && !shift, impl_->decimalPoint)) return keypad;
    if (dik >= static_cast<int>(impl_->layout.size())) return 0;
    const KeyCharacters& key = impl_->layout[static_cast<std::size_t>(dik)];
    if (altGr) return key.altGr;
    const bool upper = key.letter && capsLock ? !shift : shift;
    const unsigned int character = upper ? key.shifted : key.plain;
    // Ctrl with a letter types its control character, as on a terminal.
    if (control && key.letter && character < 0x80) return character & 0x1F;
    return character;
}

}  // namespace platform
