#include "shell/key_chord.h"

#include <array>

#include "platform/constants.h"

namespace kelvorin {
namespace {

constexpr uint16_t kDown = 0x8000;
constexpr uint16_t kDownAndPressed = 0x8001;

bool IsDown(uint16_t state) { return state == kDown || state == kDownAndPressed; }

struct Modifier {
    int virtualKey;
    const char* prefix;
};
constexpr std::array<Modifier, 3> kModifiers = {{
    {win::kVkShift, "Shift+"},
    {win::kVkControl, "Ctrl+"},
    {win::kVkMenu, "Alt+"},
}};

struct Key {
    int virtualKey;
    const char* name;
};

// Letters, main-keyboard digits, Enter, F1-F12, then the named keys, in the
// order they are tested: the first one held ends the scan.
constexpr std::array<Key, 59> kKeys = {{
    {'A', "A"}, {'B', "B"}, {'C', "C"}, {'D', "D"}, {'E', "E"}, {'F', "F"}, {'G', "G"},
    {'H', "H"}, {'I', "I"}, {'J', "J"}, {'K', "K"}, {'L', "L"}, {'M', "M"}, {'N', "N"},
    {'O', "O"}, {'P', "P"}, {'Q', "Q"}, {'R', "R"}, {'S', "S"}, {'T', "T"}, {'U', "U"},
    {'V', "V"}, {'W', "W"}, {'X', "X"}, {'Y', "Y"}, {'Z', "Z"},
    {'0', "0"}, {'1', "1"}, {'2', "2"}, {'3', "3"}, {'4', "4"}, {'5', "5"}, {'6', "6"},
    {'7', "7"}, {'8', "8"}, {'9', "9"},
    {0x0D, "Enter"},
    {0x70, "F1"}, {0x71, "F2"}, {0x72, "F3"}, {0x73, "F4"}, {0x74, "F5"}, {0x75, "F6"},
    {0x76, "F7"}, {0x77, "F8"}, {0x78, "F9"}, {0x79, "F10"}, {0x7A, "F11"}, {0x7B, "F12"},
    {0x09, "Tab"}, {0x08, "BS"}, {0x13, "Pause"}, {0x1B, "ESC"}, {0x20, "Space"},
    {0x2E, "Delete"},
    {0x25, "←"}, {0x26, "↑"}, {0x27, "→"}, {0x28, "↓"},
}};

}  // namespace

int CheckKeyDown(IKeyboard& keyboard, int virtualKey, const std::string& name, std::string& chord) {
    if (!IsDown(keyboard.GetAsyncKeyState(virtualKey))) return 0;
    chord += name;
    return 1;
}

std::string GetKeyChord(IKeyboard& keyboard) {
    std::string chord;
    for (const auto& modifier : kModifiers) {
        // Read twice: held now, or pressed since the last reading and still down.
        uint16_t first = keyboard.GetAsyncKeyState(modifier.virtualKey);
        uint16_t second = keyboard.GetAsyncKeyState(modifier.virtualKey);
        if (second == kDown || first == kDownAndPressed) chord += modifier.prefix;
    }
    for (const auto& key : kKeys) {
        if (CheckKeyDown(keyboard, key.virtualKey, key.name, chord)) return chord;
    }
    return {};
}

}  // namespace kelvorin
