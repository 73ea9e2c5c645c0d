#include "shell/key_chord.h"

#include <array>
#include <vector>

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
    std::string name;
};

// Letters, main-keyboard digits, Enter, F1-F12, then the named keys, in the
// order they are tested.
const std::vector<Key>& KeyTable() {
    static const std::vector<Key> table = [] {
        std::vector<Key> keys;
        for (int vk = 'A'; vk <= 'Z'; ++vk) keys.push_back({vk, std::string(1, char(vk))});
        for (int vk = '0'; vk <= '9'; ++vk) keys.push_back({vk, std::string(1, char(vk))});
        keys.push_back({0x0D, "Enter"});
        for (int i = 1; i <= 12; ++i) keys.push_back({0x70 + i - 1, "F" + std::to_string(i)});
        keys.push_back({0x09, "Tab"});
        keys.push_back({0x08, "BS"});
        keys.push_back({0x13, "Pause"});
        keys.push_back({0x1B, "ESC"});
        keys.push_back({0x20, "Space"});
        keys.push_back({0x2E, "Delete"});
        keys.push_back({0x25, "←"});
        keys.push_back({0x26, "↑"});
        keys.push_back({0x27, "→"});
        keys.push_back({0x28, "↓"});
        return keys;
    }();
    return table;
}

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
    for (const auto& key : KeyTable()) {
        if (CheckKeyDown(keyboard, key.virtualKey, key.name, chord)) return chord;
    }
    return {};
}

}  // namespace kelvorin
