#include "fake/fake.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace kelvorin::fake {

std::vector<MenuItem> DefaultMenu() {
    return {{0xF120, 0}, {0xF010, 0}, {0xF000, 0}, {0xF020, 0}, {0xF030, 0}, {0, 0}, {0xF060, 0}};
}

Icon Solid(Colour colour) { return {Image(32, 32, colour), Image(16, 16, colour)}; }

Platform Desktop::platform() {
    return {*this, *this, *this, *this, *this, *this,
            [this]() -> std::unique_ptr<ISurface> { return std::make_unique<Surface>(*this); }};
}

void Desktop::Record(const char* name, std::vector<std::string> args) {
    std::string call = std::string(name) + "(";
    for (size_t i = 0; i < args.size(); ++i) call += (i ? "," : "") + args[i];
    call += ")";
    if (onCall) onCall(call);
    if (logging) log.push_back(call);
}

std::vector<std::string> Desktop::Calls(std::initializer_list<std::string> names) const {
    std::vector<std::string> found;
    for (const std::string& call : log)
        if (names.size() == 0 || std::any_of(names.begin(), names.end(), [&](const auto& n) {
                return call.compare(0, n.size() + 1, n + "(") == 0;
            }))
            found.push_back(call);
    return found;
}

bool Desktop::ShouldFail(const std::string& name) {
    auto it = fails_.find(name);
    if (it == fails_.end()) return false;
    if (it->second.after > 0) return --it->second.after, false;
    return it->second.times > 0 && it->second.times-- > 0;
}

// --- windows -------------------------------------------------------------------

WindowHandle Desktop::Add(Window w) {
    if (!w.handle) w.handle = WindowHandle(nextHandle_ += 2);
    if (w.parent) w.style |= kWsChild;
    order_.push_back(w.handle);
    WindowHandle h = w.handle;
    windows_[h.value] = std::move(w);
    return h;
}

Window* Desktop::Live(WindowHandle h) {
    auto it = windows_.find(h.value);
    return it == windows_.end() || it->second.destroyed ? nullptr : &it->second;
}

Window* Desktop::Responsive(WindowHandle h) {
    Window* w = Live(h);
    return w && !w->hung ? w : nullptr;
}

void Desktop::Destroy(WindowHandle h) {
    Window* w = Live(h);
    if (!w) return;
    w->destroyed = true;
    for (auto& [value, other] : windows_)
        if (other.parent == h || other.owner == h) Destroy(other.handle);
}

std::vector<WindowHandle> Desktop::Children(WindowHandle parent) const {
    std::vector<WindowHandle> found;
    for (WindowHandle h : order_) {
        const Window& w = windows_.at(h.value);
        if (!w.destroyed && w.parent == parent) found.push_back(h);
    }
    return found;
}

std::vector<WindowHandle> Desktop::TopLevel() const { return Children(WindowHandle()); }

bool Desktop::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    if (Enter("EnumWindows")) return false;
    for (WindowHandle h : TopLevel())
        if (!visit(h)) return false;
    return true;
}

std::string Desktop::GetWindowTextA(WindowHandle h, int maxCount) {
    Window* w = Enter("GetWindowTextA", h, maxCount) ? nullptr : Live(h);
    if (!w || maxCount <= 0) return {};
    // At most maxCount - 1 bytes, as GetWindowTextA copies, never half a character.
    size_t cut = std::min(w->title.size(), size_t(maxCount - 1));
    while (cut < w->title.size() && (static_cast<unsigned char>(w->title[cut]) & 0xC0) == 0x80) --cut;
    return w->title.substr(0, cut);
}

bool Desktop::IsWindowVisible(WindowHandle h) {
    if (Enter("IsWindowVisible", h)) return false;
    for (Window* w = Live(h); w; w = w->parent ? Live(w->parent) : nullptr) {
        if (!w->visible) return false;
        if (!w->parent) return true;
    }
    return false;
}

WindowHandle Desktop::GetParent(WindowHandle h) {
    Window* w = Enter("GetParent", h) ? nullptr : Live(h);
    // user32 goes by the style: a pop-up reports its owner, a child its parent.
    if (!w) return {};
    return (w->style & kWsPopup) ? w->owner : (w->style & kWsChild) ? w->parent : WindowHandle();
}

WindowHandle Desktop::FindWindowA(const std::optional<std::string>& className,
                                  const std::optional<std::string>& windowName) {
    if (Enter("FindWindowA", className, windowName)) return {};
    for (WindowHandle h : TopLevel()) {
        const Window& w = Win(h);
        if ((!className || w.className == *className) && (!windowName || w.title == *windowName))
            return h;
    }
    return {};
}

int32_t Desktop::GetWindowLongA(WindowHandle h, int index) {
    Window* w = Enter("GetWindowLongA", h, index) ? nullptr : Live(h);
    if (!w) return 0;
    return index == -20 ? int32_t(w->exStyle) : index == -8 ? w->owner.value : 0;
}

int32_t Desktop::SetWindowLongA(WindowHandle h, int index, int32_t value) {
    Window* w = Enter("SetWindowLongA", h, index, value) ? nullptr : Responsive(h);
    if (!w || (index != -20 && index != -8)) return 0;
    int32_t before = index == -20 ? int32_t(w->exStyle) : w->owner.value;
    if (index == -20) w->exStyle = uint32_t(value);
    else w->owner = WindowHandle(value);
    return before;
}

bool Desktop::ShowWindow(WindowHandle h, int cmdShow) {
    Window* w = Enter("ShowWindow", h, cmdShow) ? nullptr : Responsive(h);
    if (!w) return false;
    bool was = w->visible;
    w->visible = cmdShow != 0;  // SW_HIDE
    return was;
}

bool Desktop::SetWindowPos(WindowHandle h, WindowHandle after, int x, int y, int cx, int cy,
                           uint32_t flags) {
    Window* w = Enter("SetWindowPos", h, after, x, y, cx, cy, flags) ? nullptr : Responsive(h);
    if (!w) return false;
    Rect& r = w->rect;
    if (!(flags & 0x2)) r = {x, y, x + r.right - r.left, y + r.bottom - r.top};  // SWP_NOMOVE
    if (!(flags & 0x1)) r.right = r.left + cx, r.bottom = r.top + cy;         // SWP_NOSIZE
    if (!(flags & 0x10)) foreground = h;                                       // SWP_NOACTIVATE
    if (!(flags & 0x4) && after.value == -1) w->exStyle |= kTopmost;           // HWND_TOPMOST
    if (!(flags & 0x4) && after.value == -2) w->exStyle &= ~kTopmost;          // HWND_NOTOPMOST
    if (flags & 0x40) w->visible = true;                                       // SWP_SHOWWINDOW
    if (flags & 0x80) w->visible = false;                                      // SWP_HIDEWINDOW
    return true;
}

WindowHandle Desktop::SetParent(WindowHandle h, WindowHandle newParent) {
    Window* w = Enter("SetParent", h, newParent) ? nullptr : Responsive(h);
    if (newParent == desktopWindow) newParent = WindowHandle();
    if (!w || (newParent && !Live(newParent))) return {};
    WindowHandle before = w->parent ? w->parent : desktopWindow;
    w->parent = newParent;  // the style keeps or lacks WS_CHILD, as in user32
    return before;
}

WindowHandle Desktop::GetDesktopWindow() { return Enter("GetDesktopWindow") ? WindowHandle() : desktopWindow; }

bool Desktop::SetLayeredWindowAttributes(WindowHandle h, Colour key, uint8_t alpha, uint32_t flags) {
    Window* w = Enter("SetLayeredWindowAttributes", h, key, alpha, flags) ? nullptr : Responsive(h);
    if (!w || !(w->exStyle & kLayered)) return false;
    if (flags & 0x2) w->alpha = alpha;  // LWA_ALPHA
    return true;
}

bool Desktop::SendSetText(WindowHandle h, const std::string& text) {
    Window* w = Enter("SendSetText", h, text) ? nullptr : Responsive(h);
    if (w && !w->refusesText) w->title = text;
    return w != nullptr;
}

bool Desktop::SendClose(WindowHandle h) {
    Window* w = Enter("SendClose", h) ? nullptr : Responsive(h);
    if (w) Destroy(h);
    return w != nullptr;
}

MenuHandle Desktop::GetSystemMenu(WindowHandle h, bool revert) {
    Window* w = Enter("GetSystemMenu", h, revert) ? nullptr : Responsive(h);
    if (!w) return {};
    if (revert) w->menu = DefaultMenu();  // and NULL, as user32 returns for a revert
    return revert ? MenuHandle() : MenuHandle((uint64_t{1} << 32) | uint32_t(h.value));
}

bool Desktop::SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                               const MenuItemInfo& info) {
    Window* w = Enter("SetMenuItemInfoA", menu, item, byPosition) || !(menu.value >> 32)
                    ? nullptr
                    : Live(WindowHandle(int32_t(uint32_t(menu.value))));
    if (!w) return false;
    auto it = byPosition ? w->menu.begin() + std::min<size_t>(item, w->menu.size())
                         : std::find_if(w->menu.begin(), w->menu.end(),
                                        [&](const MenuItem& m) { return m.id == item; });
    if (it == w->menu.end()) return false;
    if (info.mask & 0x1) it->state = info.state;  // MIIM_STATE
    if (info.mask & 0x2) it->id = info.id;        // MIIM_ID
    return true;
}

bool Desktop::DrawMenuBar(WindowHandle h) { return !Enter("DrawMenuBar", h) && Responsive(h); }

Point Desktop::GetCursorPos() { return Enter("GetCursorPos") ? Point() : cursor; }

// The innermost visible, enabled window at p, from h down.
WindowHandle Desktop::Deepest(WindowHandle h, Point p) const {
    for (WindowHandle child : Children(h)) {
        const Window& c = windows_.at(child.value);
        if (c.visible && c.enabled && c.rect.Contains(p)) return Deepest(child, p);
    }
    return h;
}

WindowHandle Desktop::WindowFromPoint(Point p) {
    if (Enter("WindowFromPoint", p)) return {};
    for (WindowHandle h : TopLevel())
        if (Win(h).visible && Win(h).enabled && Win(h).rect.Contains(p)) return Deepest(h, p);
    return {};
}

Point Desktop::Origin(WindowHandle h) {
    Window* w = Live(h);
    return w ? Point{w->rect.left, w->rect.top} : Point{};
}

Point Desktop::MapWindowPoints(WindowHandle from, WindowHandle to, Point p) {
    if (Enter("MapWindowPoints", from, to, p)) return p;
    Point a = Origin(from), b = Origin(to);
    return {p.x + a.x - b.x, p.y + a.y - b.y};
}

WindowHandle Desktop::ChildWindowFromPoint(WindowHandle parent, Point p) {
    Window* w = Enter("ChildWindowFromPoint", parent, p) ? nullptr : Live(parent);
    Point screen{p.x + Origin(parent).x, p.y + Origin(parent).y};
    if (!w || !w->rect.Contains(screen)) return {};
    // Every child counts here, hidden and disabled ones too.
    for (WindowHandle child : Children(parent))
        if (Win(child).rect.Contains(screen)) return child;
    return parent;
}

void Desktop::SetCapture(WindowHandle h) {
    if (!Enter("SetCapture", h)) capture = h;
}

void Desktop::ReleaseCapture() {
    if (!Enter("ReleaseCapture")) capture = WindowHandle();
}

ClassNameResult Desktop::GetClassNameA(WindowHandle h, int capacity) {
    Window* w = Enter("GetClassNameA", h, capacity) ? nullptr : Live(h);
    if (!w || capacity <= 0) return {};
    std::string text = w->className.substr(0, size_t(capacity - 1));
    return {int(text.size()), text};
}

WindowHandle Desktop::GetForegroundWindow() { return Enter("GetForegroundWindow") ? WindowHandle() : foreground; }

uint32_t Desktop::GetWindowThreadProcessId(WindowHandle h) {
    Window* w = Enter("GetWindowThreadProcessId", h) ? nullptr : Live(h);
    return w ? w->processId : 0;
}

int Desktop::GetSystemMetrics(int index) {
    return Enter("GetSystemMetrics", index) || !metrics.count(index) ? 0 : metrics[index];
}

Colour Desktop::GetSysColor(int index) { return index == 5 ? windowColour : 0; }

// --- processes ---------------------------------------------------------------------

KernelHandle Desktop::NewKernel(Kernel k) {
    kernel_[nextKernel_] = std::move(k);
    return KernelHandle(std::exchange(nextKernel_, nextKernel_ + 4));
}

KernelHandle Desktop::CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) {
    if (Enter("CreateToolhelp32Snapshot", flags, processId)) return kInvalidHandle;
    Kernel k;
    if (flags & 0x2) {  // TH32CS_SNAPPROCESS
        for (const Process& p : processes)
            if (!p.terminated) k.entries.push_back({p.processId, p.exeFile});
        return NewKernel(std::move(k));
    }
    // TH32CS_SNAPMODULE; process 0 stands for the caller's own.
    uint32_t target = processId == 0 ? currentProcessId : processId;
    for (const Process& p : processes) {
        if (!(flags & 0x8) || p.processId != target || p.terminated) continue;
        if (p.modulesReadable) k.module = ModuleEntry{p.processId, p.exePath};
        return NewKernel(std::move(k));
    }
    return kInvalidHandle;
}

std::optional<ProcessEntry> Desktop::Process32First(KernelHandle snapshot) {
    if (Enter("Process32First", snapshot) || !kernel_.count(snapshot.value)) return std::nullopt;
    Kernel& k = kernel_[snapshot.value];
    k.next = k.entries.empty() ? 0 : 1;
    return k.entries.empty() ? std::nullopt : std::optional(k.entries[0]);
}

std::optional<ProcessEntry> Desktop::Process32Next(KernelHandle snapshot) {
    if (Enter("Process32Next", snapshot) || !kernel_.count(snapshot.value)) return std::nullopt;
    Kernel& k = kernel_[snapshot.value];
    if (k.next >= k.entries.size()) return std::nullopt;
    return k.entries[k.next++];
}

std::optional<ModuleEntry> Desktop::Module32First(KernelHandle snapshot) {
    if (Enter("Module32First", snapshot) || !kernel_.count(snapshot.value)) return std::nullopt;
    return kernel_[snapshot.value].module;
}

bool Desktop::CloseHandle(KernelHandle h) { return !Enter("CloseHandle", h) && kernel_.erase(h.value); }

KernelHandle Desktop::OpenProcess(uint32_t access, bool inherit, uint32_t processId) {
    if (Enter("OpenProcess", access, inherit, processId)) return {};
    for (const Process& p : processes)
        if (p.processId == processId && !p.terminated && p.openable)
            return NewKernel({.processId = processId, .access = access});
    return {};
}

bool Desktop::TerminateProcess(KernelHandle process, uint32_t exitCode) {
    if (Enter("TerminateProcess", process, exitCode) || !kernel_.count(process.value)) return false;
    const Kernel& k = kernel_[process.value];
    if (!(k.access & 0x1)) return false;  // PROCESS_TERMINATE
    for (Process& p : processes)
        if (p.processId == k.processId) p.terminated = true;
    for (auto& [value, w] : windows_)
        if (w.processId == k.processId) Destroy(w.handle);
    return true;
}

std::optional<uint32_t> Desktop::GetVersionPlatformId() {
    return Enter("GetVersionPlatformId") ? std::nullopt : platformId;
}

// --- icons, notification area, clipboard, keys, dialogs, files -----------------------

IconHandle Desktop::NewIcon(const Image& image) {
    icons_[nextIcon_] = image;
    return IconHandle(nextIcon_++);
}

const Image* Desktop::IconImage(IconHandle icon) const {
    auto it = icons_.find(icon.value);
    return it == icons_.end() ? nullptr : &it->second;
}

IconPair Desktop::ExtractIconExA(const std::string& path, int index) {
    if (Enter("ExtractIconExA", path, index) || !iconFiles.count(path) || index < 0 ||
        size_t(index) >= iconFiles[path].size())
        return {};
    const Icon& icon = iconFiles[path][size_t(index)];
    return {NewIcon(icon.large), NewIcon(icon.small)};
}

int Desktop::ExtractIconCount(const std::string& path) {
    return Enter("ExtractIconCount", path) || !iconFiles.count(path) ? 0 : int(iconFiles[path].size());
}

IconHandle Desktop::ExtractIconA(const std::string& path, int index) {
    if (Enter("ExtractIconA", path, index) || !iconFiles.count(path) || index < 0 ||
        size_t(index) >= iconFiles[path].size())
        return {};
    return NewIcon(iconFiles[path][size_t(index)].large);
}

bool Desktop::DestroyIcon(IconHandle icon) { return !Enter("DestroyIcon", icon) && icons_.erase(icon.value); }

bool Desktop::Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) {
    if (Enter("Shell_NotifyIconA", message, data.hWnd, data.uID)) return false;
    auto key = std::make_pair(data.hWnd.value, data.uID);
    bool present = tray.count(key) > 0;
    if (message == 2) return tray.erase(key) > 0;  // NIM_DELETE
    if (present != (message == 1)) return false;   // NIM_ADD needs none, NIM_MODIFY one
    tray[key] = data;
    return message <= 1;
}

bool Desktop::Empty() {
    if (Enter("Clipboard.Empty")) return false;
    clipboard.reset();
    return true;
}

bool Desktop::SetText(const std::string& text) {
    if (Enter("Clipboard.SetText", text)) return false;
    clipboard = text;
    return true;
}

uint16_t Desktop::GetAsyncKeyState(int virtualKey) {
    auto& readings = keys[virtualKey];
    if (Enter("GetAsyncKeyState", virtualKey) || readings.empty()) return 0;
    uint16_t state = readings.front();
    if (readings.size() > 1) readings.pop_front();
    return state;
}

int Desktop::MessageBox(const std::string& text, const std::string& title, uint32_t style) {
    if (Enter("MessageBox", text, title, style)) return 0;
    boxes.push_back({text, title, style});
    int answer = answers.empty() ? ((style & 0xF) == 4 ? 6 : 1) : answers.front();  // IDYES, IDOK
    if (!answers.empty()) answers.pop_front();
    return answer;
}

std::optional<std::string> Desktop::GetSaveFileName(const std::string& filter) {
    if (Enter("GetSaveFileName", filter) || saveNames.empty()) return std::nullopt;
    auto name = saveNames.front();
    saveNames.pop_front();
    return name;
}

WriteResult Desktop::WriteFileReplacing(const std::string& path, const std::string& bytes) {
    if (Enter("WriteFileReplacing", path)) return {false, "Access is denied."};
    files[path] = bytes;
    return {true, {}};
}

int Desktop::CompareText(const std::string& a, const std::string& b) {
    // Ordinal, ASCII letters folded to upper case.
    auto fold = [](std::string s) {
        for (char& c : s) c = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
        return s;
    };
    int c = fold(a).compare(fold(b));
    return (c > 0) - (c < 0);
}

// --- surface and view ------------------------------------------------------------------

void Surface::DrawImage(const Image& image, int x, int y) {
    for (int row = 0; row < image.height; ++row)
        for (int col = 0; col < image.width; ++col) {
            int cx = x + col, cy = y + row;
            if (cx >= 0 && cy >= 0 && cx < canvas_.width && cy < canvas_.height &&
                image.At(col, row) != kClear)
                canvas_.Set(cx, cy, image.At(col, row));
        }
}

bool Surface::DrawIconEx(IconHandle icon, int x, int y) {
    const Image* image = desktop_.IconImage(icon);
    if (image) DrawImage(*image, x, y);
    return image != nullptr;
}

bool Surface::DrawIcon(IconHandle icon, int x, int y) {
    const Image* image = desktop_.IconImage(icon);
    if (!image || image->Empty()) return false;
    int w = desktop_.metrics[11], h = desktop_.metrics[12];
    Image sized(w, h, kClear);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            sized.Set(col, row, image->At(col * image->width / w, row * image->height / h));
    DrawImage(sized, x, y);
    return true;
}

void View::GrowHeightTwips(int delta) {
    desktop_.Enter("View.GrowHeightTwips", delta);
    clientHeight += delta;
}

void View::Show() {
    desktop_.Enter("View.Show");
    shown = true;
}

void View::Hide() {
    desktop_.Enter("View.Hide");
    shown = false;
}

void View::Unload() {
    desktop_.Enter("View.Unload");
    ++unloads;
    if (onUnload) onUnload();
    shown = false;
}

void View::SetFinderDragging(bool on) {
    desktop_.Enter("View.SetFinderDragging", on);
    dragging = on;
}

}  // namespace kelvorin::fake
