// Icons of known pictures for a copy of the helper: the helper's own file has
// none, and the icon tests need pictures whose pixels they can predict.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

constexpr int kIconSize = 32;
constexpr int kIconCount = 3;
// Each icon is one of these colours on a transparent ground, in a shape of its
// own: a square, a diamond, stripes. The centre is always painted, the corners never.
constexpr COLORREF kIconColours[kIconCount] = {RGB(200, 30, 30), RGB(30, 160, 50),
                                               RGB(30, 60, 210)};

// Gives a copy of an executable the three icons, as icon groups 101..103.
bool AddIcons(const std::wstring& exe);
// Damages a PE file as a broken resource editor might: its first RT_ICON's data
// lies past the end of the file, inside a resource section that claims more
// bytes than the file holds.
bool DamageFirstIcon(const std::wstring& exe);

}  // namespace e2e
