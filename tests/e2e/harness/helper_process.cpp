#include "harness/helper_process.h"

#include <sstream>
#include <stdexcept>

#include "harness/options.h"
#include "harness/text.h"
#include "harness/wait.h"

namespace e2e {

HelperProcess HelperProcess::Start(const std::vector<std::string>& args,
                                   const std::wstring& exe) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    UniqueHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::vector<std::wstring> wide;
    for (const auto& a : args) wide.push_back(Wide(a));
    HelperProcess helper;
    helper.process_ = ChildProcess::Start(exe.empty() ? GetOptions().helperExe : exe, wide, writeEnd);
    writer.Reset();  // the helper holds the only write end now

    // Read the report without blocking, so a helper that dies or stalls fails the wait.
    std::string report;
    auto complete = [&] {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            std::string chunk(available, '\0');
            DWORD read = 0;
            if (!ReadFile(readEnd, chunk.data(), available, &read, nullptr)) break;
            report.append(chunk, 0, read);
        }
        return report.find("ready\n") != std::string::npos || !helper.process_.Running();
    };
    if (!WaitUntil(complete, 15s) || report.find("ready\n") == std::string::npos)
        throw std::runtime_error("e2e_helper did not report its windows; it said: " + report);

    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, name;
        long long value = 0;
        words >> kind;
        if (kind == "thread")
            words >> helper.threadId_;
        else if (kind == "window" && words >> name >> value)
            helper.windows_[name] = HandleFromValue(value);
        else if (!kind.empty() && std::getline(words >> std::ws, name))
            helper.reported_.emplace(kind, name);
    }
    return helper;
}

HWND HelperProcess::Window(const std::string& name) const {
    auto it = windows_.find(name);
    if (it == windows_.end()) throw std::runtime_error("the helper made no window named " + name);
    return it->second;
}

std::string HelperProcess::Reported(const std::string& kind) const {
    auto it = reported_.find(kind);
    return it == reported_.end() ? std::string() : it->second;
}

void HelperProcess::Quit() {
    if (!process_.Running()) return;
    // A helper made to hang or stop answering would never read the request.
    for (const auto& [name, hwnd] : windows_) {
        DWORD_PTR answer = 0;
        if (IsWindow(hwnd) &&
            !SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer)) {
            process_.Kill();
            return;
        }
    }
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    if (!process_.WaitForExit(3s)) process_.Kill();
}

}  // namespace e2e
