#include "app/win32/fonts.h"

#include <cwchar>

namespace kelvorin::win32 {
namespace {

constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr const wchar_t* kFallbackFaces[] = {L"MS PGothic", L"IPAPGothic", L"IPA Pゴシック",
                                             L"VL PGothic"};

int CALLBACK FontExists(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFont(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ScopedGetDc screen(nullptr);
    ::EnumFontFamiliesExW(screen.get(), &query, FontExists, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

const wchar_t* ChooseFontFace() {
    if (HasFont(kFontFace)) return kFontFace;
    for (const wchar_t* face : kFallbackFaces)
        if (HasFont(face)) return face;
    return kFontFace;
}

UniqueFont CreateUiFont(const wchar_t* face, int points, const ScreenScale& scale) {
    return UniqueFont(::CreateFontW(scale.FontHeight(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                         SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH, face));
}

}  // namespace kelvorin::win32
