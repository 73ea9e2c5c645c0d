#include "app/handle_text.h"

#include <charconv>

namespace kelvorin {

std::string FormatHandle(WindowHandle h) { return std::to_string(h.value); }

std::optional<int32_t> ParseInt32(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (text[0] == '+') return std::nullopt;
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<WindowHandle> ParseHandle(std::string_view text) {
    auto value = ParseInt32(text);
    if (!value) return std::nullopt;
    return WindowHandle(*value);
}

}  // namespace kelvorin
