#include "fake/call_log.h"

#include <algorithm>

namespace kelvorin::fake {
namespace {

bool Selected(const Call& call, std::initializer_list<std::string_view> only) {
    return only.size() == 0 || std::find(only.begin(), only.end(), call.name) != only.end();
}

}  // namespace

std::string Call::ToString() const {
    std::string text = name + "(";
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0) text += ",";
        text += args[i];
    }
    return text + ")";
}

void CallLog::Add(Call call) {
    calls_.push_back(std::move(call));
    if (onCall) onCall(calls_.back());
}

std::vector<Call> CallLog::Named(std::string_view name) const {
    std::vector<Call> found;
    for (const auto& call : calls_)
        if (call.name == name) found.push_back(call);
    return found;
}

size_t CallLog::Count(std::string_view name) const {
    return static_cast<size_t>(
        std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.name == name; }));
}

std::vector<std::string> CallLog::Names(std::initializer_list<std::string_view> only) const {
    std::vector<std::string> names;
    for (const auto& call : calls_)
        if (Selected(call, only)) names.push_back(call.name);
    return names;
}

std::vector<std::string> CallLog::Strings(std::initializer_list<std::string_view> only) const {
    std::vector<std::string> strings;
    for (const auto& call : calls_)
        if (Selected(call, only)) strings.push_back(call.ToString());
    return strings;
}

void FailureSwitches::Fail(const std::string& name, size_t after, size_t times) {
    switches_[name] = Switch{after, times};
}

bool FailureSwitches::ShouldFail(const std::string& name) {
    auto it = switches_.find(name);
    if (it == switches_.end()) return false;
    Switch& s = it->second;
    if (++s.seen <= s.after || s.failed >= s.times) return false;
    ++s.failed;
    return true;
}

std::string Arg(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Arg(const char* text) {
    return Arg(std::string(text));
}

std::string Arg(const std::optional<std::string>& text) {
    return text ? Arg(*text) : "null";
}

std::string Arg(WindowHandle h) {
    return std::to_string(h.value);
}

std::string Arg(Point p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

std::string Arg(const MenuItemInfo& info) {
    return "{mask:" + Arg(info.mask) + ",state:" + Arg(info.state) + ",id:" + Arg(info.id) + "}";
}

std::string Arg(const NotifyIconData& d) {
    return "{cbSize:" + Arg(d.cbSize) + ",hWnd:" + Arg(d.hWnd) + ",uID:" + Arg(d.uID) +
           ",uFlags:" + Arg(d.uFlags) + ",uCallbackMessage:" + Arg(d.uCallbackMessage) +
           ",hIcon:" + Arg(d.hIcon) + ",szTip:" + Arg(d.szTip) + "}";
}

std::string Arg(const Image& image) {
    return std::to_string(image.width) + "x" + std::to_string(image.height);
}

}  // namespace kelvorin::fake
