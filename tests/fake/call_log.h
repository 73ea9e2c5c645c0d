// The fake platform's memory of what was asked of it, and its failure switches.
//
// Every call through a platform interface appends one Call: its name and its
// arguments, each already formatted (handles and numbers in decimal, texts in
// double quotes, a null text as null). Call::ToString() gives the familiar
// form, e.g. ShowWindow(1234,5) or FindWindowA("Progman",null).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/platform.h"

namespace kelvorin::fake {

struct Call {
    std::string name;
    std::vector<std::string> args;
    bool failed = false;  // a failure switch made the call fail
    std::string ToString() const;
};

class CallLog {
  public:
    void Add(Call call);
    const std::vector<Call>& All() const { return calls_; }
    std::vector<Call> Named(std::string_view name) const;
    size_t Count(std::string_view name) const;
    // The names of all calls in order, or only of those named in the filter.
    std::vector<std::string> Names(std::initializer_list<std::string_view> only = {}) const;
    // ToString() of all calls in order, or only of those named in the filter.
    std::vector<std::string> Strings(std::initializer_list<std::string_view> only = {}) const;
    void Clear() { calls_.clear(); }

    // Runs as each call is made, before it has any effect: lets a test look at
    // the program's state at the moment of a given call.
    std::function<void(const Call&)> onCall;

  private:
    std::vector<Call> calls_;
};

// Per call name: let the first `after` calls (counted from the moment the
// switch is set) succeed, then fail the next `times` calls.
class FailureSwitches {
  public:
    static constexpr size_t kAlways = std::numeric_limits<size_t>::max();

    void Fail(const std::string& name, size_t after = 0, size_t times = kAlways);
    void RestoreAll() { switches_.clear(); }
    // Counts one call of that name; true when this call is to fail.
    bool ShouldFail(const std::string& name);

  private:
    struct Switch {
        size_t after = 0;
        size_t times = 0;
        size_t seen = 0;
        size_t failed = 0;
    };
    std::map<std::string, Switch, std::less<>> switches_;
};

// Formatting of call arguments.
std::string Arg(const std::string& text);
std::string Arg(const char* text);
std::string Arg(const std::optional<std::string>& text);
std::string Arg(WindowHandle h);
std::string Arg(Point p);
std::string Arg(const MenuItemInfo& info);
std::string Arg(const NotifyIconData& data);
std::string Arg(const Image& image);

template <typename Tag>
std::string Arg(Handle<Tag> h) {
    // INVALID_HANDLE_VALUE reads as -1, as Windows prints it.
    return h.value == ~uint64_t{0} ? "-1" : std::to_string(h.value);
}

template <typename T>
requires std::is_arithmetic_v<T> std::string Arg(T value) {
    if constexpr (std::is_same_v<T, bool>)
        return value ? "1" : "0";
    else
        return std::to_string(value);
}

}  // namespace kelvorin::fake
