// The fake's windows: set-up, Z-order, hit tests and the IWindows calls.
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "fake/fake_desktop.h"
#include "platform/constants.h"

namespace kelvorin::fake {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string CutAtCharacter(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

Point Origin(const FakeWindow* w) {
    return w ? Point{w->rect.left, w->rect.top} : Point{};
}

}  // namespace

// --- set-up and inspection --------------------------------------------------

WindowHandle FakeDesktop::ReserveHandle() {
    while (windows_.count(nextHandle_)) nextHandle_ += 2;
    WindowHandle h(nextHandle_);
    nextHandle_ += 2;
    return h;
}

WindowHandle FakeDesktop::AddWindow(FakeWindow window) {
    if (!window.handle) window.handle = ReserveHandle();
    if (window.handle == desktopHandle_ || windows_.count(window.handle.value))
        throw std::invalid_argument("window handle in use: " + Arg(window.handle));
    if (window.parent && !windows_.count(window.parent.value))
        throw std::invalid_argument("unknown parent " + Arg(window.parent));
    if (window.parent) window.style |= kWsChild;
    window.style &= ~(kWsVisible | kWsDisabled);
    WindowHandle h = window.handle;
    windows_.emplace(h.value, std::move(window));
    zOrder_.push_back(h);
    return h;
}

FakeWindow& FakeDesktop::Window(WindowHandle h) {
    return windows_.at(h.value);
}

FakeWindow* FakeDesktop::Live(WindowHandle h) {
    auto it = windows_.find(h.value);
    return it == windows_.end() || it->second.destroyed ? nullptr : &it->second;
}

const FakeWindow* FakeDesktop::Live(WindowHandle h) const {
    auto it = windows_.find(h.value);
    return it == windows_.end() || it->second.destroyed ? nullptr : &it->second;
}

FakeWindow* FakeDesktop::Responsive(WindowHandle h) {
    FakeWindow* w = Live(h);
    return w && !w->hung ? w : nullptr;
}

std::vector<WindowHandle> FakeDesktop::Children(WindowHandle parent) const {
    std::vector<WindowHandle> children;
    for (WindowHandle h : zOrder_)
        if (windows_.at(h.value).parent == parent) children.push_back(h);
    return children;
}

std::vector<WindowHandle> FakeDesktop::TopLevelWindows() const {
    return Children(WindowHandle());
}

bool FakeDesktop::IsAncestor(WindowHandle ancestor, WindowHandle h) const {
    for (const FakeWindow* w = Live(h); w && w->parent; w = Live(w->parent))
        if (w->parent == ancestor) return true;
    return false;
}

void FakeDesktop::DestroyWindow(WindowHandle h) {
    FakeWindow* w = Live(h);
    if (!w) return;
    w->destroyed = true;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), h), zOrder_.end());
    std::erase_if(menus_, [h](const auto& menu) { return menu.second == h; });
    if (foreground_ == h) foreground_ = WindowHandle();
    if (capture_ == h) capture_ = WindowHandle();
    // Children and owned windows go with it, as DestroyWindow does.
    std::vector<WindowHandle> dependants;
    for (const auto& [value, other] : windows_)
        if (!other.destroyed && (other.parent == h || other.owner == h))
            dependants.push_back(other.handle);
    for (WindowHandle d : dependants) DestroyWindow(d);
}

void FakeDesktop::MoveInZOrder(WindowHandle h, bool toTop) {
    auto it = std::find(zOrder_.begin(), zOrder_.end(), h);
    if (it == zOrder_.end()) return;
    zOrder_.erase(it);
    zOrder_.insert(toTop ? zOrder_.begin() : zOrder_.end(), h);
}

void FakeDesktop::BringToTop(WindowHandle h) {
    MoveInZOrder(h, true);
}
void FakeDesktop::SendToBottom(WindowHandle h) {
    MoveInZOrder(h, false);
}

bool FakeDesktop::Visible(WindowHandle h) const {
    const FakeWindow* w = Live(h);
    if (!w) return false;
    // A child shows only while every window above it does.
    for (; w; w = w->parent ? Live(w->parent) : nullptr)
        if (!w->visible) return false;
    return true;
}

std::vector<MenuItem> FakeDesktop::SystemMenuItems(WindowHandle h) {
    const auto& menu = Window(h).systemMenu;
    return menu ? *menu : DefaultSystemMenu();
}

int FakeDesktop::Metric(int index) const {
    auto it = metrics_.find(index);
    return it == metrics_.end() ? 0 : it->second;
}

// The innermost visible, enabled window at p, starting from h.
WindowHandle FakeDesktop::DeepestAt(WindowHandle h, Point p) const {
    for (WindowHandle child : Children(h)) {
        const FakeWindow& c = windows_.at(child.value);
        if (c.visible && c.enabled && c.rect.Contains(p)) return DeepestAt(child, p);
    }
    return h;
}

// --- IWindows -----------------------------------------------------------------

bool FakeDesktop::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    if (Enter("EnumWindows", {})) return false;
    // Like user32, the list is taken first; windows destroyed meanwhile are skipped.
    size_t visited = 0;
    for (WindowHandle h : TopLevelWindows()) {
        if (!Live(h)) continue;
        if (enumFailsAfter_ && visited == *enumFailsAfter_) break;
        ++visited;
        if (!visit(h)) return false;
    }
    return !enumFailsAfter_;
}

std::string FakeDesktop::GetWindowTextA(WindowHandle h, int maxCount) {
    if (Enter("GetWindowTextA", {Arg(h), Arg(maxCount)})) return "";
    const FakeWindow* w = Live(h);
    if (!w || maxCount <= 0) return "";
    return CutAtCharacter(w->title, static_cast<size_t>(maxCount - 1));
}

bool FakeDesktop::IsWindowVisible(WindowHandle h) {
    if (Enter("IsWindowVisible", {Arg(h)})) return false;
    return Visible(h);
}

WindowHandle FakeDesktop::GetParent(WindowHandle h) {
    if (Enter("GetParent", {Arg(h)})) return {};
    const FakeWindow* w = Live(h);
    if (!w) return {};
    // user32 looks at the style: a pop-up reports its owner, a child its
    // parent, and anything else (even a re-parented overlapped window) none.
    if (w->style & kWsPopup) return w->owner;
    if (w->style & kWsChild) return w->parent;
    return {};
}

WindowHandle FakeDesktop::FindWindowA(const std::optional<std::string>& className,
                                      const std::optional<std::string>& windowName) {
    if (Enter("FindWindowA", {Arg(className), Arg(windowName)})) return {};
    for (WindowHandle h : TopLevelWindows()) {
        const FakeWindow& w = windows_.at(h.value);
        if ((!className || EqualsIgnoringCase(w.className, *className)) &&
            (!windowName || EqualsIgnoringCase(w.title, *windowName)))
            return h;
    }
    return {};
}

int32_t FakeDesktop::GetWindowLongA(WindowHandle h, int index) {
    if (Enter("GetWindowLongA", {Arg(h), Arg(index)})) return 0;
    const FakeWindow* w = Live(h);
    if (!w) return 0;
    switch (index) {
        case kGwlStyle:
            return static_cast<int32_t>(w->style | (w->visible ? kWsVisible : 0) |
                                        (w->enabled ? 0 : kWsDisabled));
        case win::kGwlExStyle:
            return static_cast<int32_t>(w->exStyle);
        case win::kGwlHwndParent:
            return w->parent ? w->parent.value : w->owner.value;
        default:
            return 0;
    }
}

int32_t FakeDesktop::SetWindowLongA(WindowHandle h, int index, int32_t value) {
    if (Enter("SetWindowLongA", {Arg(h), Arg(index), Arg(value)})) return 0;
    FakeWindow* w = Responsive(h);
    if (!w) return 0;
    int32_t previous = 0;
    switch (index) {
        case kGwlStyle:
            previous = static_cast<int32_t>(w->style | (w->visible ? kWsVisible : 0) |
                                            (w->enabled ? 0 : kWsDisabled));
            w->visible = (static_cast<uint32_t>(value) & kWsVisible) != 0;
            w->enabled = (static_cast<uint32_t>(value) & kWsDisabled) == 0;
            w->style = static_cast<uint32_t>(value) & ~(kWsVisible | kWsDisabled);
            return previous;
        case win::kGwlExStyle:
            previous = static_cast<int32_t>(w->exStyle);
            w->exStyle = static_cast<uint32_t>(value);
            return previous;
        case win::kGwlHwndParent:
            // The owner slot of a top-level window.
            previous = w->owner.value;
            w->owner = WindowHandle(value);
            return previous;
        default:
            return 0;
    }
}

bool FakeDesktop::ShowWindow(WindowHandle h, int cmdShow) {
    if (Enter("ShowWindow", {Arg(h), Arg(cmdShow)})) return false;
    FakeWindow* w = Responsive(h);
    if (!w) return false;
    // The result is whether the window was visible before, as in user32.
    bool was = w->visible;
    w->visible = cmdShow != win::kSwHide;
    return was;
}

bool FakeDesktop::SetWindowPos(WindowHandle h, WindowHandle insertAfter, int x, int y, int cx,
                               int cy, uint32_t flags) {
    if (Enter("SetWindowPos",
              {Arg(h), Arg(insertAfter), Arg(x), Arg(y), Arg(cx), Arg(cy), Arg(flags)}))
        return false;
    FakeWindow* w = Responsive(h);
    if (!w) return false;
    if (!(flags & win::kSwpNoMove)) {
        w->rect = {x, y, x + (w->rect.right - w->rect.left), y + (w->rect.bottom - w->rect.top)};
    }
    if (!(flags & win::kSwpNoSize)) {
        w->rect.right = w->rect.left + cx;
        w->rect.bottom = w->rect.top + cy;
    }
    if (!(flags & kSwpNoZOrder)) {
        bool wasTopmost = (w->exStyle & win::kWsExTopmost) != 0;
        switch (insertAfter.value) {
            case win::kHwndTopmost:
                w->exStyle |= win::kWsExTopmost;
                MoveInZOrder(h, true);
                break;
            case win::kHwndNoTopmost:
                // Goes behind the topmost windows; no move for a window that was not one.
                w->exStyle &= ~win::kWsExTopmost;
                if (wasTopmost) {
                    zOrder_.erase(std::find(zOrder_.begin(), zOrder_.end(), h));
                    auto firstPlain =
                        std::find_if(zOrder_.begin(), zOrder_.end(), [&](WindowHandle o) {
                            return !(windows_.at(o.value).exStyle & win::kWsExTopmost);
                        });
                    zOrder_.insert(firstPlain, h);
                }
                break;
            case kHwndTop:
                MoveInZOrder(h, true);
                break;
            case kHwndBottom:
                MoveInZOrder(h, false);
                break;
            default:
                if (Live(insertAfter) && insertAfter != h) {
                    zOrder_.erase(std::find(zOrder_.begin(), zOrder_.end(), h));
                    zOrder_.insert(std::find(zOrder_.begin(), zOrder_.end(), insertAfter) + 1, h);
                }
        }
    }
    if (flags & win::kSwpShowWindow) w->visible = true;
    if (flags & kSwpHideWindow) w->visible = false;
    return true;
}

WindowHandle FakeDesktop::SetParent(WindowHandle h, WindowHandle newParent) {
    if (Enter("SetParent", {Arg(h), Arg(newParent)})) return {};
    FakeWindow* w = Responsive(h);
    if (!w) return {};
    if (newParent == desktopHandle_) newParent = WindowHandle();
    if (newParent && (!Live(newParent) || newParent == h || IsAncestor(h, newParent))) return {};
    WindowHandle previous = w->parent ? w->parent : desktopHandle_;
    // The style stays as it was: user32 does not add or remove WS_CHILD here.
    w->parent = newParent;
    MoveInZOrder(h, true);
    return previous;
}

WindowHandle FakeDesktop::GetDesktopWindow() {
    if (Enter("GetDesktopWindow", {})) return {};
    return desktopHandle_;
}

bool FakeDesktop::SetLayeredWindowAttributes(WindowHandle h, Colour key, uint8_t alpha,
                                             uint32_t flags) {
    if (Enter("SetLayeredWindowAttributes", {Arg(h), Arg(key), Arg(alpha), Arg(flags)}))
        return false;
    FakeWindow* w = Responsive(h);
    // Only a window with WS_EX_LAYERED takes layered attributes.
    if (!w || !(w->exStyle & win::kWsExLayered)) return false;
    w->colourKey = key;
    w->alpha = alpha;
    w->layeredFlags = flags;
    return true;
}

bool FakeDesktop::SendSetText(WindowHandle h, const std::string& text) {
    if (Enter("SendSetText", {Arg(h), Arg(text)})) return false;
    FakeWindow* w = Responsive(h);
    if (!w) return false;
    // Delivered is success, whether or not the window takes the text.
    if (!w->refusesText) w->title = text;
    return true;
}

bool FakeDesktop::SendClose(WindowHandle h) {
    if (Enter("SendClose", {Arg(h)})) return false;
    FakeWindow* w = Responsive(h);
    if (!w) return false;
    if (!w->ignoresClose) DestroyWindow(h);
    return true;
}

MenuHandle FakeDesktop::GetSystemMenu(WindowHandle h, bool revert) {
    if (Enter("GetSystemMenu", {Arg(h), Arg(revert)})) return {};
    FakeWindow* w = Responsive(h);
    if (!w || !w->hasSystemMenu) return {};
    auto own = std::find_if(menus_.begin(), menus_.end(),
                            [h](const auto& menu) { return menu.second == h; });
    if (revert) {
        // The window's copy is dropped; user32 returns NULL for a revert.
        w->systemMenu.reset();
        if (own != menus_.end()) menus_.erase(own);
        return {};
    }
    if (own != menus_.end()) return MenuHandle(own->first);
    if (!w->systemMenu) w->systemMenu = DefaultSystemMenu();
    menus_[nextMenu_] = h;
    return MenuHandle(nextMenu_++);
}

bool FakeDesktop::SetMenuItemInfoA(MenuHandle menu, uint32_t item, bool byPosition,
                                   const MenuItemInfo& info) {
    if (Enter("SetMenuItemInfoA", {Arg(menu), Arg(item), Arg(byPosition), Arg(info)})) return false;
    auto owner = menus_.find(menu.value);
    if (owner == menus_.end()) return false;
    auto& items = *Window(owner->second).systemMenu;
    auto it = byPosition ? (item < items.size() ? items.begin() + item : items.end())
                         : std::find_if(items.begin(), items.end(),
                                        [item](const MenuItem& m) { return m.id == item; });
    if (it == items.end()) return false;
    if (info.mask & win::kMiimState) it->state = info.state;
    if (info.mask & win::kMiimId) it->id = info.id;
    return true;
}

bool FakeDesktop::DrawMenuBar(WindowHandle h) {
    if (Enter("DrawMenuBar", {Arg(h)})) return false;
    return Responsive(h) != nullptr;
}

Point FakeDesktop::GetCursorPos() {
    if (Enter("GetCursorPos", {})) return {};
    return cursor_;
}

WindowHandle FakeDesktop::WindowFromPoint(Point p) {
    if (Enter("WindowFromPoint", {Arg(p)})) return {};
    // Hidden and disabled windows are passed over, at every level.
    for (WindowHandle h : TopLevelWindows()) {
        const FakeWindow& w = windows_.at(h.value);
        if (w.visible && w.enabled && w.rect.Contains(p)) return DeepestAt(h, p);
    }
    return {};
}

Point FakeDesktop::MapWindowPoints(WindowHandle from, WindowHandle to, Point p) {
    if (Enter("MapWindowPoints", {Arg(from), Arg(to), Arg(p)})) return p;
    const FakeWindow* source = from && from != desktopHandle_ ? Live(from) : nullptr;
    const FakeWindow* target = to && to != desktopHandle_ ? Live(to) : nullptr;
    if ((from && from != desktopHandle_ && !source) || (to && to != desktopHandle_ && !target))
        return p;
    Point a = Origin(source), b = Origin(target);
    return {p.x + a.x - b.x, p.y + a.y - b.y};
}

WindowHandle FakeDesktop::ChildWindowFromPoint(WindowHandle parent, Point p) {
    if (Enter("ChildWindowFromPoint", {Arg(parent), Arg(p)})) return {};
    const FakeWindow* w = Live(parent);
    if (!w) return {};
    Point screen{p.x + w->rect.left, p.y + w->rect.top};
    if (!w->rect.Contains(screen)) return {};
    // Every immediate child counts here, hidden and disabled ones included.
    for (WindowHandle child : Children(parent))
        if (windows_.at(child.value).rect.Contains(screen)) return child;
    return parent;
}

void FakeDesktop::SetCapture(WindowHandle h) {
    if (Enter("SetCapture", {Arg(h)})) return;
    if (Live(h)) capture_ = h;
}

void FakeDesktop::ReleaseCapture() {
    if (Enter("ReleaseCapture", {})) return;
    capture_ = WindowHandle();
}

ClassNameResult FakeDesktop::GetClassNameA(WindowHandle h, int capacity) {
    if (Enter("GetClassNameA", {Arg(h), Arg(capacity)})) return {};
    const FakeWindow* w = Live(h);
    if (!w || capacity <= 0) return {};
    std::string text = CutAtCharacter(w->className, static_cast<size_t>(capacity - 1));
    return {static_cast<int>(text.size()), text};
}

WindowHandle FakeDesktop::GetForegroundWindow() {
    if (Enter("GetForegroundWindow", {})) return {};
    return foreground_;
}

uint32_t FakeDesktop::GetWindowThreadProcessId(WindowHandle h) {
    if (Enter("GetWindowThreadProcessId", {Arg(h)})) return 0;
    const FakeWindow* w = Live(h);
    return w ? w->processId : 0;
}

int FakeDesktop::GetSystemMetrics(int index) {
    if (Enter("GetSystemMetrics", {Arg(index)})) return 0;
    return Metric(index);
}

Colour FakeDesktop::GetSysColor(int index) {
    if (Enter("GetSysColor", {Arg(index)})) return 0;
    auto it = sysColours_.find(index);
    return it == sysColours_.end() ? 0 : it->second;
}

}  // namespace kelvorin::fake
