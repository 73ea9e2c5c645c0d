// Every platform interface over plain state. As in Win32, a call on a destroyed or unknown window
// fails, and a hung window refuses every call that waits on its thread.
#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <unordered_map>

#include "app/main_frm.h"
#include "icons/icon_getter.h"
#include "platform/types.h"

namespace kelvorin::fake {

// Win32's own numbers, not the program's constants: a wrong one there shows as a wrong effect.
inline constexpr uint32_t kWsPopup = 0x80000000u, kWsChild = 0x40000000u;
inline constexpr uint32_t kTopmost = 0x8, kLayered = 0x80000;
// An icon pixel outside the icon's mask: drawing leaves the surface as it was.
inline constexpr Colour kClear = 0xFF000000u;

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Has(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

struct MenuItem {
    uint32_t id = 0, state = 0;
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};
// Restore, move, size, minimise, maximise, a separator and close.
inline std::vector<MenuItem> DefaultMenu() {
    return {{0xF120, 0}, {0xF010, 0}, {0xF000, 0}, {0xF020, 0}, {0xF030, 0}, {0, 0}, {0xF060, 0}};
}

struct Window {
    WindowHandle handle;  // null: Add numbers it
    std::string title, className = "Fake";
    // With a parent, a child window (Add adds WS_CHILD); GetParent reports a WS_POPUP's owner.
    WindowHandle parent, owner;
    uint32_t style = 0, exStyle = 0;
    bool visible = true, enabled = true;
    uint32_t processId = 0;
    Rect rect;  // screen coordinates; the client area is all of it
    bool hung = false, refusesText = false, destroyed = false;
    std::optional<uint8_t> alpha;
    std::vector<MenuItem> menu = DefaultMenu();
};

struct Process {
    uint32_t processId = 0;
    std::string exeFile, exePath;
    bool modulesReadable = true, openable = true, terminated = false;
};

// One icon of a file: ExtractIconA hands out the large picture, ExtractIconExA both.
struct Icon {
    Image large, small;
};
inline const auto Solid = [](Colour c) { return Icon{Image(32, 32, c), Image(16, 16, c)}; };
// A sound .ico file of one 1 x 1 32-bit image: directory, header, colour and mask rows.
inline std::string IcoFileBytes() {
    return std::string("\0\0\1\0\1\0\1\1\0\0\1\0\x20\0\x30\0\0\0\x16\0\0\0", 22) +
           std::string("\x28\0\0\0\1\0\0\0\2\0\0\0\1\0\x20\0", 16) + std::string(32, '\0');
}

struct Interfaces : IWindows, IProcesses, IShell, IClipboard, IKeyboard, IUserInterface, IFiles {};

class Desktop final : public Interfaces {
  public:
    Platform platform();

    bool logging = false;
    std::vector<std::string> log;
    std::function<void(const std::string&)> onCall;  // as each call is made, before its effect
    size_t Count(const std::string& name) const { return std::count(log.begin(), log.end(), name); }
    // Bit i set: the i-th call of that name from now fails without effect; -1 fails them all.
    void Fail(const std::string& name, int64_t calls = -1) { fails_[name] = calls; }
    bool Enter(const char* name) {  // true when the call is to fail
        if (onCall) onCall(name);
        if (logging) log.emplace_back(name);
        auto it = fails_.empty() ? fails_.end() : fails_.find(std::string_view(name));
        return it != fails_.end() && std::exchange(it->second, it->second >> 1) & 1;
    }

    WindowHandle Add(Window w) {  // EnumWindows reports windows in the order added
        if (!w.handle) w.handle = WindowHandle(nextHandle_ += 2);
        if (w.parent) w.style |= kWsChild;
        order_.push_back(w.handle);
        return (windows_[w.handle.value] = std::move(w)).handle;
    }
    Window& Win(WindowHandle h) { return windows_.at(h.value); }
    void Destroy(WindowHandle h) {  // with its children and owned windows
        if (Window* w = Live(h)) w->destroyed = true;
        for (auto& [value, o] : windows_)
            if (!o.destroyed && (o.parent == h || o.owner == h)) Destroy(o.handle);
    }
    // Kernel handles left open, and closes of handles never given out: each must pair.
    size_t Unpaired() const { return kernel_.size() + strayCloses_; }
    size_t LiveIcons() const { return icons_.size(); }  // extracted and not destroyed
    const Image* IconImage(IconHandle i) const {
        return icons_.count(i.value) ? &icons_.at(i.value) : nullptr;
    }

    WindowHandle desktopWindow{0x10010}, foreground, capture;
    Point cursor;
    Point iconSize{32, 32};                    // SM_CXICON, SM_CYICON
    Colour windowColour = Rgb(255, 255, 255);  // COLOR_WINDOW
    std::vector<Process> processes;
    uint32_t currentProcessId = 4242;
    std::optional<uint32_t> platformId = 2;
    std::map<std::string, std::vector<Icon>> iconFiles;
    std::map<std::pair<int32_t, uint32_t>, NotifyIconData> tray;
    std::optional<std::string> clipboard;
    std::map<int, std::deque<uint16_t>> keys;          // readings, the last of which stays
    std::vector<std::string> boxes;                    // "title|text|style"
    std::deque<int> answers;                           // else a box answers with its first button
    std::deque<std::optional<std::string>> saveNames;  // else the save dialog is cancelled
    std::string saveFilter;
    // Files to read and written: a file given icons and not put here reads as IcoFileBytes().
    std::map<std::string, std::string> files;

    bool EnumWindows(const std::function<bool(WindowHandle)>& visit) override {
        if (Enter("EnumWindows")) return false;
        for (WindowHandle h : Children({}))
            if (!visit(h)) return false;
        return true;
    }
    std::string GetWindowTextA(WindowHandle h, int maxCount) override {
        Window* w = Use("GetWindowTextA", h);
        return w && maxCount > 0 ? w->title.substr(0, size_t(maxCount - 1)) : "";
    }
    bool IsWindowVisible(WindowHandle h) override {
        Window* w = Use("IsWindowVisible", h);
        while (w && w->visible && w->parent) w = Live(w->parent);
        return w && w->visible;
    }
    WindowHandle GetParent(WindowHandle h) override {
        // By the style, as in user32: a pop-up reports its owner, a child its parent.
        Window* w = Use("GetParent", h);
        if (w && (w->style & kWsPopup)) return w->owner;
        return w && (w->style & kWsChild) ? w->parent : WindowHandle();
    }
    // By class only: the program never looks a window up by its title.
    WindowHandle FindWindowA(const std::optional<std::string>& className,
                             const std::optional<std::string>&) override {
        if (Enter("FindWindowA")) return {};
        for (WindowHandle h : Children({}))
            if (!className || Win(h).className == *className) return h;
        return {};
    }
    int32_t GetWindowLongA(WindowHandle h, int index) override {
        Window* w = Use("GetWindowLongA", h);
        return !w ? 0 : index == -20 ? int32_t(w->exStyle) : index == -8 ? w->owner.value : 0;
    }
    int32_t SetWindowLongA(WindowHandle h, int index, int32_t value) override {
        Window* w = Use("SetWindowLongA", h, true);
        if (w && index == -20) w->exStyle = uint32_t(value);
        if (w && index == -8) w->owner = WindowHandle(value);
        return 0;
    }
    bool ShowWindow(WindowHandle h, int cmdShow) override {
        Window* w = Use("ShowWindow", h, true);
        if (w) w->visible = cmdShow != 0;  // SW_HIDE is 0
        return w;
    }
    bool SetWindowPos(WindowHandle h, WindowHandle after, int x, int y, int cx, int cy,
                      uint32_t flags) override {
        Window* w = Use("SetWindowPos", h, true);
        if (!w) return false;
        Rect& r = w->rect;
        if (!(flags & 0x2)) r = {x, y, x + r.right - r.left, y + r.bottom - r.top};  // SWP_NOMOVE
        if (!(flags & 0x1)) r.right = r.left + cx, r.bottom = r.top + cy;            // SWP_NOSIZE
        if (!(flags & 0x10)) foreground = h;                               // SWP_NOACTIVATE
        if (!(flags & 0x4) && after.value == -1) w->exStyle |= kTopmost;   // HWND_TOPMOST
        if (!(flags & 0x4) && after.value == -2) w->exStyle &= ~kTopmost;  // HWND_NOTOPMOST
        w->visible = w->visible || (flags & 0x40);                         // SWP_SHOWWINDOW
        return true;
    }
    WindowHandle SetParent(WindowHandle h, WindowHandle parent) override {
        Window* w = Use("SetParent", h, true);
        if (parent == desktopWindow) parent = WindowHandle();
        if (!w || (parent && !Live(parent))) return {};
        w->parent = parent;  // the style keeps or lacks WS_CHILD as it was, as in user32
        return desktopWindow;
    }
    WindowHandle GetDesktopWindow() override {
        return Enter("GetDesktopWindow") ? WindowHandle() : desktopWindow;
    }
    bool SetLayeredWindowAttributes(WindowHandle h, Colour, uint8_t alpha,
                                    uint32_t flags) override {
        Window* w = Use("SetLayeredWindowAttributes", h, true);
        if (!w || !(w->exStyle & kLayered)) return false;
        if (flags & 0x2) w->alpha = alpha;  // LWA_ALPHA
        return true;
    }
    bool SendSetText(WindowHandle h, const std::string& text) override {
        Window* w = Use("SendSetText", h, true);
        if (w && !w->refusesText) w->title = text;
        return w;
    }
    bool SendClose(WindowHandle h) override {
        Window* w = Use("SendClose", h, true);
        if (w) Destroy(h);
        return w;
    }
    MenuHandle GetSystemMenu(WindowHandle h, bool revert) override {
        Window* w = Use("GetSystemMenu", h, true);
        if (w && revert) w->menu = DefaultMenu();  // and NULL, as user32 returns for a revert
        return w && !revert ? MenuHandle((uint64_t{1} << 32) | uint32_t(h.value)) : MenuHandle();
    }
    bool SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                          const MenuItemInfo& info) override {
        Window* w =
            Use("SetMenuItemInfoA", WindowHandle(menu.value >> 32 ? int32_t(menu.value) : 0));
        if (!w) return false;
        auto it = byPosition ? w->menu.begin() + std::min<size_t>(item, w->menu.size())
                             : std::find_if(w->menu.begin(), w->menu.end(),
                                            [&](const MenuItem& m) { return m.id == item; });
        if (it == w->menu.end()) return false;
        if (info.mask & 0x1) it->state = info.state;  // MIIM_STATE
        if (info.mask & 0x2) it->id = info.id;        // MIIM_ID
        return true;
    }
    bool DrawMenuBar(WindowHandle h) override { return Use("DrawMenuBar", h, true); }
    Point GetCursorPos() override { return Enter("GetCursorPos") ? Point() : cursor; }
    WindowHandle WindowFromPoint(Point p) override {
        if (Enter("WindowFromPoint")) return {};
        WindowHandle found;  // the innermost visible, enabled window there
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (WindowHandle c : Children(found))
                if (!deeper && Win(c).visible && Win(c).enabled && Win(c).rect.Has(p))
                    found = c, deeper = true;
        }
        return found;
    }
    Point MapWindowPoints(WindowHandle from, WindowHandle to, Point p) override {
        if (Enter("MapWindowPoints")) return p;
        return {p.x + Origin(from).x - Origin(to).x, p.y + Origin(from).y - Origin(to).y};
    }
    WindowHandle ChildWindowFromPoint(WindowHandle parent, Point p) override {
        Window* w = Use("ChildWindowFromPoint", parent);
        Point screen{p.x + Origin(parent).x, p.y + Origin(parent).y};
        if (!w || !w->rect.Has(screen)) return {};
        for (WindowHandle c : Children(parent))  // hidden and disabled ones too
            if (Win(c).rect.Has(screen)) return c;
        return parent;
    }
    void SetCapture(WindowHandle h) override { capture = Enter("SetCapture") ? capture : h; }
    void ReleaseCapture() override { capture = Enter("ReleaseCapture") ? capture : WindowHandle(); }
    ClassNameResult GetClassNameA(WindowHandle h, int capacity) override {
        Window* w = Use("GetClassNameA", h);
        std::string text = w && capacity > 0 ? w->className.substr(0, size_t(capacity - 1)) : "";
        return {int(text.size()), text};
    }
    WindowHandle GetForegroundWindow() override {
        return Enter("GetForegroundWindow") ? WindowHandle() : foreground;
    }
    uint32_t GetWindowThreadProcessId(WindowHandle h) override {
        Window* w = Use("GetWindowThreadProcessId", h);
        return w ? w->processId : 0;
    }
    int GetSystemMetrics(int index) override {
        bool fails = Enter("GetSystemMetrics");
        return fails ? 0 : index == 11 ? iconSize.x : index == 12 ? iconSize.y : 0;
    }
    Colour GetSysColor(int index) override { return index == 5 ? windowColour : 0; }

    KernelHandle CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) override {
        if (Enter("CreateToolhelp32Snapshot")) return kInvalidHandle;
        Kernel k;
        if (flags & 0x2) {  // TH32CS_SNAPPROCESS
            for (const Process& p : processes)
                if (!p.terminated) k.entries.push_back({p.processId, p.exeFile});
            return NewKernel(std::move(k));
        }
        // TH32CS_SNAPMODULE; process 0 stands for the caller's own.
        const Process* p = (flags & 0x8) ? Find(processId ? processId : currentProcessId) : nullptr;
        if (!p) return kInvalidHandle;
        if (p->modulesReadable) k.module = ModuleEntry{p->processId, p->exePath};
        return NewKernel(std::move(k));
    }
    std::optional<ProcessEntry> Process32First(KernelHandle snapshot) override {
        Kernel* k = Use("Process32First", snapshot);
        if (k) k->next = 0;
        return k && k->next < k->entries.size() ? std::optional(k->entries[k->next++])
                                                : std::nullopt;
    }
    std::optional<ProcessEntry> Process32Next(KernelHandle snapshot) override {
        Kernel* k = Use("Process32Next", snapshot);
        return k && k->next < k->entries.size() ? std::optional(k->entries[k->next++])
                                                : std::nullopt;
    }
    std::optional<ModuleEntry> Module32First(KernelHandle snapshot) override {
        Kernel* k = Use("Module32First", snapshot);
        return k ? k->module : std::nullopt;
    }
    bool CloseHandle(KernelHandle h) override { return Close("CloseHandle", h); }
    KernelHandle OpenProcess(uint32_t access, bool, uint32_t processId) override {
        const Process* p = Enter("OpenProcess") ? nullptr : Find(processId);
        return p && p->openable ? NewKernel({.processId = processId, .access = access})
                                : KernelHandle();
    }
    bool TerminateProcess(KernelHandle process, uint32_t) override {
        Kernel* k = Use("TerminateProcess", process);
        if (!k || !(k->access & 0x1)) return false;  // PROCESS_TERMINATE
        for (Process& p : processes) p.terminated = p.terminated || p.processId == k->processId;
        return true;
    }
    std::optional<uint32_t> GetVersionPlatformId() override {
        return Enter("GetVersionPlatformId") ? std::nullopt : platformId;
    }

    IconPair ExtractIconExA(const std::string& path, int index) override {
        const Icon* icon = FileIcon("ExtractIconExA", path, index);
        return icon ? IconPair{NewIcon(icon->large), NewIcon(icon->small)} : IconPair();
    }
    int ExtractIconCount(const std::string& path) override {
        return Enter("ExtractIconCount") || !iconFiles.count(path) ? 0
                                                                   : int(iconFiles[path].size());
    }
    IconHandle ExtractIconA(const std::string& path, int index) override {
        const Icon* icon = FileIcon("ExtractIconA", path, index);
        return icon ? NewIcon(icon->large) : IconHandle();
    }
    bool DestroyIcon(IconHandle icon) override {
        return !Enter("DestroyIcon") && icons_.erase(icon.value);
    }
    bool Shell_NotifyIconA(uint32_t message, const NotifyIconData& data) override {
        if (Enter("Shell_NotifyIconA")) return false;
        auto key = std::make_pair(data.hWnd.value, data.uID);
        if (message == 2) return tray.erase(key);                     // NIM_DELETE
        if (message > 1 || tray.count(key) != message) return false;  // NIM_ADD, NIM_MODIFY
        tray[key] = data;
        return true;
    }
    bool Empty() override { return !Enter("Clipboard.Empty") && (clipboard.reset(), true); }
    bool SetText(const std::string& text) override {
        return !Enter("Clipboard.SetText") && (clipboard = text, true);
    }
    uint16_t GetAsyncKeyState(int key) override {
        auto& readings = keys[key];
        if (Enter("GetAsyncKeyState") || readings.empty()) return 0;
        uint16_t state = readings.front();
        if (readings.size() > 1) readings.pop_front();
        return state;
    }
    int MessageBox(const std::string& text, const std::string& title, uint32_t style) override {
        if (Enter("MessageBox")) return 0;
        boxes.push_back(title + "|" + text + "|" + std::to_string(style));
        int answer = answers.empty() ? (style & 0xF) == 4 ? 6 : 1 : answers.front();  // IDYES/IDOK
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    std::optional<std::string> GetSaveFileName(const std::string& filter) override {
        if (Enter("GetSaveFileName") || saveNames.empty()) return std::nullopt;
        saveFilter = filter;
        auto name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
    WriteResult WriteFileReplacing(const std::string& path, const std::string& bytes) override {
        if (Enter("WriteFileReplacing")) return {false, "Access is denied."};
        files[path] = bytes;
        return {true, {}};
    }
    int CompareText(const std::string& a, const std::string& b) override {
        auto up = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };  // ordinal
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (up(a[i]) != up(b[i])) return up(a[i]) < up(b[i]) ? -1 : 1;
        return (a.size() > b.size()) - (a.size() < b.size());
    }
    size_t AnsiLength(const std::string& text) override { return text.size(); }  // UTF-8 itself

    KernelHandle OpenFileForReading(const std::string& path) override {
        bool fails = Enter("OpenFileForReading");
        auto it = files.find(path);
        if (fails || (it == files.end() && !iconFiles.count(path))) return kInvalidHandle;
        return NewKernel({.bytes = it == files.end() ? IcoFileBytes() : it->second, .file = true});
    }
    std::optional<uint64_t> GetFileSize(KernelHandle file) override {
        Kernel* k = Use("GetFileSize", file);
        return k && k->file ? std::optional<uint64_t>(k->bytes.size()) : std::nullopt;
    }
    std::string ReadFileAt(KernelHandle file, uint64_t offset, size_t count) override {
        Kernel* k = Use("ReadFileAt", file);
        return k && k->file && offset < k->bytes.size() ? k->bytes.substr(offset, count) : "";
    }
    bool CloseFile(KernelHandle file) override { return Close("CloseFile", file); }

  private:
    struct Kernel {
        std::vector<ProcessEntry> entries;  // a process snapshot
        size_t next = 0;
        std::optional<ModuleEntry> module;   // a module snapshot's first module
        uint32_t processId = 0, access = 0;  // an open process
        std::string bytes;                   // an open file
        bool file = false;
    };

    Window* Live(WindowHandle h) {
        auto it = windows_.find(h.value);
        return it == windows_.end() || it->second.destroyed ? nullptr : &it->second;
    }
    // The live window for a call; one that waits on the window's thread gets none if it hangs.
    Window* Use(const char* call, WindowHandle h, bool waits = false) {
        Window* w = Enter(call) ? nullptr : Live(h);
        return w && waits && w->hung ? nullptr : w;
    }
    Kernel* Use(const char* call, KernelHandle h) {
        return Enter(call) || !kernel_.count(h.value) ? nullptr : &kernel_[h.value];
    }
    std::vector<WindowHandle> Children(WindowHandle parent) {
        std::vector<WindowHandle> found;
        for (WindowHandle h : order_)
            if (Live(h) && Win(h).parent == parent) found.push_back(h);
        return found;
    }
    const Process* Find(uint32_t id) {  // the first live process of that id
        for (const Process& p : processes)
            if (p.processId == id && !p.terminated) return &p;
        return nullptr;
    }
    Point Origin(WindowHandle h) {
        Window* w = Live(h);
        return w ? Point{w->rect.left, w->rect.top} : Point{};
    }
    bool Close(const char* call, KernelHandle h) {
        if (Enter(call)) return false;
        strayCloses_ += kernel_.count(h.value) == 0;
        return kernel_.erase(h.value);
    }
    KernelHandle NewKernel(Kernel k) {
        kernel_[nextKernel_ += 4] = std::move(k);
        return KernelHandle(nextKernel_);
    }
    IconHandle NewIcon(const Image& image) {
        icons_[++nextIcon_] = image;
        return IconHandle(nextIcon_);
    }
    const Icon* FileIcon(const char* call, const std::string& path, int index) {
        auto file = Enter(call) ? iconFiles.end() : iconFiles.find(path);
        if (file == iconFiles.end() || index < 0 || size_t(index) >= file->second.size())
            return nullptr;
        return &file->second[size_t(index)];
    }

    std::map<std::string, int64_t, std::less<>> fails_;
    std::unordered_map<int32_t, Window> windows_;
    std::vector<WindowHandle> order_;
    int32_t nextHandle_ = 0x20000;
    std::map<uint64_t, Kernel> kernel_;
    uint64_t nextKernel_ = 0x100;
    size_t strayCloses_ = 0;
    std::map<uint64_t, Image> icons_;
    uint64_t nextIcon_ = 0x5000;
};

}  // namespace kelvorin::fake
