// The platform header comes first, before <tlhelp32.h> maps the toolhelp
// names to their wide forms.
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstring>

// The program reads other processes' names in the ANSI code page: undo the
// wide mapping that <tlhelp32.h> makes under UNICODE.
#undef Process32First
#undef Process32Next
#undef Module32First
#undef PROCESSENTRY32
#undef MODULEENTRY32

namespace kelvorin::win32 {

#if defined(__i386__) || defined(_M_IX86)
// The 32-bit program's records have these sizes; a change would break the
// calls that pass them.
static_assert(sizeof(PROCESSENTRY32) == 296, "PROCESSENTRY32A");
static_assert(sizeof(MODULEENTRY32) == 548, "MODULEENTRY32");
static_assert(sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA");
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "NOTIFYICONDATAA v1");
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA");
#endif

namespace {

std::string CutAtZero(const char* text, size_t capacity) {
    return FromAnsi(std::string_view(text, strnlen(text, capacity)));
}

std::optional<ProcessEntry> ToEntry(BOOL ok, const PROCESSENTRY32& record) {
    if (!ok) return std::nullopt;
    return ProcessEntry{record.th32ProcessID, CutAtZero(record.szExeFile, sizeof(record.szExeFile))};
}

}  // namespace

KernelHandle Processes::CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) {
    HANDLE h = ::CreateToolhelp32Snapshot(flags, processId);
    if (h == INVALID_HANDLE_VALUE) return kInvalidHandle;
    return KernelHandle(FromNative(h));
}

std::optional<ProcessEntry> Processes::Process32First(KernelHandle snapshot) {
    PROCESSENTRY32 record{};
    record.dwSize = sizeof(record);
    return ToEntry(::Process32First(ToNative<HANDLE>(snapshot.value), &record), record);
}

std::optional<ProcessEntry> Processes::Process32Next(KernelHandle snapshot) {
    PROCESSENTRY32 record{};
    record.dwSize = sizeof(record);
    return ToEntry(::Process32Next(ToNative<HANDLE>(snapshot.value), &record), record);
}

std::optional<ModuleEntry> Processes::Module32First(KernelHandle snapshot) {
    MODULEENTRY32 record{};
    record.dwSize = sizeof(record);
    if (!::Module32First(ToNative<HANDLE>(snapshot.value), &record)) return std::nullopt;
    return ModuleEntry{record.th32ProcessID, CutAtZero(record.szExePath, sizeof(record.szExePath))};
}

bool Processes::CloseHandle(KernelHandle h) {
    if (!h || h == kInvalidHandle) return false;
    return ::CloseHandle(ToNative<HANDLE>(h.value)) != FALSE;
}

KernelHandle Processes::OpenProcess(uint32_t access, bool inherit, uint32_t processId) {
    return KernelHandle(FromNative(::OpenProcess(access, inherit ? TRUE : FALSE, processId)));
}

bool Processes::TerminateProcess(KernelHandle process, uint32_t exitCode) {
    if (!process) return false;
    return ::TerminateProcess(ToNative<HANDLE>(process.value), exitCode) != FALSE;
}

std::optional<uint32_t> Processes::GetVersionPlatformId() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    BOOL ok = ::GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (!ok) return std::nullopt;
    return info.dwPlatformId;
}

}  // namespace kelvorin::win32
