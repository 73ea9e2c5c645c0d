#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace kelvorin::win32 {

KernelHandle Files::OpenFileForReading(const std::string& path) {
    std::string ansi = ToAnsi(path);
    // The shell's icon calls look a bare name up on the search path, with
    // ".exe" added when it has no extension: the file read here must be theirs.
    std::vector<char> found(MAX_PATH);
    DWORD length =
        ::SearchPathA(nullptr, ansi.c_str(), ".exe", DWORD(found.size()), found.data(), nullptr);
    if (length >= found.size()) {
        found.resize(length + 1);
        length = ::SearchPathA(nullptr, ansi.c_str(), ".exe", DWORD(found.size()), found.data(),
                               nullptr);
    }
    if (length > 0 && length < found.size()) ansi.assign(found.data(), length);
    // Other programs may go on writing, renaming or deleting it meanwhile.
    HANDLE file = ::CreateFileA(ansi.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kInvalidHandle;
    return KernelHandle(FromNative(file));
}

std::optional<uint64_t> Files::GetFileSize(KernelHandle file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(ToNative<HANDLE>(file.value), &size) || size.QuadPart < 0)
        return std::nullopt;
    return static_cast<uint64_t>(size.QuadPart);
}

std::string Files::ReadFileAt(KernelHandle file, uint64_t offset, size_t count) {
    std::string bytes(count, '\0');
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!::ReadFile(ToNative<HANDLE>(file.value), bytes.data(), static_cast<DWORD>(count), &read,
                    &at))
        return {};
    bytes.resize(read);
    return bytes;
}

bool Files::CloseFile(KernelHandle file) {
    return ::CloseHandle(ToNative<HANDLE>(file.value)) != FALSE;
}

}  // namespace kelvorin::win32
