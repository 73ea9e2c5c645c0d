#include "catalogue/hide_filter.h"

#include <array>

namespace kelvorin {
namespace {
// The IME helper windows and ATOK's, and the program's own helper windows.
constexpr std::array<std::string_view, 4> kHidePrefixes = {"ATOK", "imejp", "Default IME",
                                                           "Tessaly"};
}  // namespace

bool IsHiddenByFilter(std::string_view title, int boxValue) {
    if (boxValue != 1) return false;
    for (auto prefix : kHidePrefixes) {
        if (title.substr(0, prefix.size()) == prefix) return true;
    }
    return false;
}

}  // namespace kelvorin
