// The fake's icons and notification area, clipboard, keys and dialogs.
#include <algorithm>

#include "fake/fake_desktop.h"
#include "platform/constants.h"

namespace kelvorin::fake {

// --- icons --------------------------------------------------------------------

IconHandle FakeDesktop::NewIcon(Image image, bool extracted) {
    IconHandle h(nextIcon_++);
    icons_.emplace(h.value, LiveIcon{std::move(image), extracted});
    return h;
}

IconHandle FakeDesktop::CreateIcon(Image image) {
    return NewIcon(std::move(image), false);
}

const Image* FakeDesktop::IconImage(IconHandle icon) const {
    auto it = icons_.find(icon.value);
    return it == icons_.end() ? nullptr : &it->second.image;
}

size_t FakeDesktop::LiveExtractedIcons() const {
    return static_cast<size_t>(std::count_if(
        icons_.begin(), icons_.end(), [](const auto& icon) { return icon.second.extracted; }));
}

void FakeDesktop::AddIconFile(const std::string& path, std::vector<FileIcon> icons) {
    iconFiles_[path] = std::move(icons);
}

const std::vector<FileIcon>* FakeDesktop::IconFile(const std::string& path) const {
    auto it = iconFiles_.find(path);
    return it == iconFiles_.end() ? nullptr : &it->second;
}

IconPair FakeDesktop::ExtractIconExA(const std::string& path, int index) {
    if (Enter("ExtractIconExA", {Arg(path), Arg(index)})) return {};
    const auto* file = IconFile(path);
    if (!file || index < 0 || static_cast<size_t>(index) >= file->size()) return {};
    // Each call hands out handles of its own, which the caller must destroy.
    const FileIcon& icon = (*file)[static_cast<size_t>(index)];
    return {NewIcon(icon.large, true), NewIcon(icon.small, true)};
}

int FakeDesktop::ExtractIconCount(const std::string& path) {
    if (Enter("ExtractIconCount", {Arg(path)})) return 0;
    const auto* file = IconFile(path);
    return file ? static_cast<int>(file->size()) : 0;
}

IconHandle FakeDesktop::ExtractIconA(const std::string& path, int index) {
    if (Enter("ExtractIconA", {Arg(path), Arg(index)})) return {};
    const auto* file = IconFile(path);
    if (!file || index < 0 || static_cast<size_t>(index) >= file->size()) return {};
    return NewIcon((*file)[static_cast<size_t>(index)].large, true);
}

bool FakeDesktop::DestroyIcon(IconHandle icon) {
    if (Enter("DestroyIcon", {Arg(icon)})) return false;
    return icons_.erase(icon.value) > 0;
}

bool FakeDesktop::Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) {
    if (Enter("Shell_NotifyIconA", {Arg(message), Arg(data)})) return false;
    auto key = std::make_pair(data.hWnd.value, data.uID);
    bool present = tray_.count(key) > 0;
    TrayIcon icon{data.uFlags, data.uCallbackMessage, data.hIcon, data.szTip};
    switch (message) {
        case win::kNimAdd:
            if (present) return false;
            tray_[key] = icon;
            return true;
        case kNimModify:
            if (!present) return false;
            tray_[key] = icon;
            return true;
        case win::kNimDelete:
            return tray_.erase(key) > 0;
        default:
            return false;
    }
}

// --- clipboard and keys ---------------------------------------------------------

void FakeDesktop::PutOnClipboard(const std::string& text) {
    clipboard_ = text;
    clipboardEmptied_ = false;
}

bool FakeDesktop::Empty() {
    if (Enter("Clipboard.Empty", {})) return false;
    clipboard_.reset();
    clipboardEmptied_ = true;
    return true;
}

bool FakeDesktop::SetText(const std::string& text) {
    if (Enter("Clipboard.SetText", {Arg(text)})) return false;
    clipboard_ = text;
    return true;
}

void FakeDesktop::QueueKeyStates(int virtualKey, std::vector<uint16_t> readings) {
    auto& queue = keyReadings_[virtualKey];
    queue.insert(queue.end(), readings.begin(), readings.end());
}

uint16_t FakeDesktop::GetAsyncKeyState(int virtualKey) {
    if (Enter("GetAsyncKeyState", {Arg(virtualKey)})) return 0;
    auto queued = keyReadings_.find(virtualKey);
    if (queued != keyReadings_.end() && !queued->second.empty()) {
        uint16_t reading = queued->second.front();
        queued->second.pop_front();
        return reading;
    }
    auto it = keys_.find(virtualKey);
    return it == keys_.end() ? 0 : it->second;
}

// --- dialogs and files ------------------------------------------------------------

int FakeDesktop::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    if (Enter("MessageBox", {Arg(text), Arg(title), Arg(style)})) return 0;
    messageBoxes_.push_back({text, title, style});
    if (!messageBoxAnswers_.empty()) {
        int answer = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
        return answer;
    }
    // The first button of each MB_ button set: OK, OK, Abort, Yes, Yes, Retry.
    constexpr int kFirstButton[] = {1, 1, 3, 6, 6, 4};
    uint32_t buttons = style & 0xF;
    return buttons < std::size(kFirstButton) ? kFirstButton[buttons] : 1;
}

std::optional<std::string> FakeDesktop::GetSaveFileName(const std::string& filter) {
    if (Enter("GetSaveFileName", {Arg(filter)})) return std::nullopt;
    if (saveAnswers_.empty()) return std::nullopt;
    auto answer = saveAnswers_.front();
    saveAnswers_.pop_front();
    return answer;
}

WriteResult FakeDesktop::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    if (Enter("WriteFileReplacing", {Arg(path), Arg(bytes.size())}))
        return {false, "Access is denied."};
    files_[path] = bytes;
    return {true, {}};
}

int FakeDesktop::CompareText(const std::string& a, const std::string& b) {
    if (Enter("CompareText", {Arg(a), Arg(b)})) return 0;
    // Ordinal, ignoring the case of ASCII letters (folded to upper case, as an
    // ordinal case-insensitive compare does); other bytes compare unsigned.
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : int{c}; };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = fold(static_cast<unsigned char>(a[i]));
        int y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t FakeDesktop::AnsiLength(const std::string& text) {
    if (Enter("AnsiLength", {Arg(text)})) return 0;
    return text.size();
}

}  // namespace kelvorin::fake
