#include "harness/process.h"

#include <atomic>
#include <stdexcept>

#include "harness/options.h"
#include "harness/text.h"
#include "harness/wait.h"

namespace e2e {

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    for (size_t i = 0;; ++i) {
        size_t backslashes = 0;
        while (i < arg.size() && arg[i] == L'\\') ++i, ++backslashes;
        if (i == arg.size()) {
            quoted.append(backslashes * 2, L'\\');  // they precede the closing quote
            break;
        }
        if (arg[i] == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        quoted.push_back(arg[i]);
    }
    quoted.push_back(L'"');
    return quoted;
}

namespace {

std::wstring CommandLine(const std::wstring& exe, const std::vector<std::wstring>& args) {
    std::wstring line = QuoteArgument(exe);
    for (const auto& a : args) line += L" " + QuoteArgument(a);
    return line;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileText(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

}  // namespace

ChildProcess ChildProcess::Start(const std::wstring& exe, const std::vector<std::wstring>& args,
                                 HANDLE stdOut) {
    std::wstring line = CommandLine(exe, args);
    STARTUPINFOW si{sizeof si};
    if (stdOut) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = stdOut;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, stdOut ? TRUE : FALSE, 0,
                        nullptr, nullptr, &si, &pi))
        throw std::runtime_error("CreateProcess failed (" + std::to_string(GetLastError()) +
                                 ") for " + Utf8(line));
    CloseHandle(pi.hThread);
    ChildProcess child;
    child.process_ = UniqueHandle(pi.hProcess);
    child.id_ = pi.dwProcessId;
    return child;
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    return !process_ ||
           WaitForSingleObject(process_.Get(), DWORD(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> ChildProcess::ExitCode() const {
    DWORD code = 0;
    if (Running() || !process_ || !GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
    return code;
}

void ChildProcess::Kill() {
    if (Running()) {
        TerminateProcess(process_.Get(), 99);
        WaitForExit(5s);
    }
    process_.Reset();
}

UnixResult RunUnix(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    static std::atomic<int> counter{0};
    std::string base = GetOptions().workDir + "/unix-" + std::to_string(++counter);
    std::vector<std::wstring> args = {L"-c",
                                      L"out=$1; rc=$2; shift 2; \"$@\" >\"$out\" 2>&1; echo $? "
                                      L">\"$rc.part\"; mv \"$rc.part\" \"$rc\"",
                                      L"sh", Wide(base + ".out"), Wide(base + ".rc")};
    for (const auto& a : argv) args.push_back(Wide(a));
    std::wstring line = CommandLine(L"/bin/sh", args);

    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return {};
    // Wine gives no process for a Unix program, and the thread field may then
    // hold a value that is no handle of ours: 0xe was seen, which Wine takes as
    // handle 0xc (it ignores the low two bits), the driver's stdout. So the
    // pair is closed only when a process came back.
    UniqueHandle process(pi.hProcess), thread(pi.hProcess ? pi.hThread : nullptr);

    std::wstring rcPath = WindowsPath(base + ".rc"), outPath = WindowsPath(base + ".out");
    UnixResult result;
    if (!WaitUntil([&] { return FileExists(rcPath); }, timeout)) return result;
    result.finished = true;
    result.exitCode = std::atoi(ReadFileText(rcPath).c_str());
    result.output = ReadFileText(outPath);
    DeleteFileW(rcPath.c_str());
    DeleteFileW(outPath.c_str());
    return result;
}

}  // namespace e2e
