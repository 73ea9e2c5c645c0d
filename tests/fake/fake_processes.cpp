// The fake's kernel objects: tool-help snapshots, processes and files read in ranges.
#include <stdexcept>

#include "fake/fake_desktop.h"
#include "platform/constants.h"

namespace kelvorin::fake {

void FakeDesktop::AddProcess(FakeProcess process) {
    processes_.push_back(std::move(process));
}

FakeProcess& FakeDesktop::Process(uint32_t processId) {
    for (auto& p : processes_)
        if (p.processId == processId) return p;
    throw std::out_of_range("no process " + std::to_string(processId));
}

KernelHandle FakeDesktop::NewKernelHandle(KernelObject object) {
    KernelHandle h(nextKernel_);
    nextKernel_ += 4;
    kernelObjects_.emplace(h.value, std::move(object));
    return h;
}

// The open kernel object behind h if it is of kind T, else nullptr.
template <typename T>
T* FakeDesktop::Kernel(KernelHandle h) {
    auto it = kernelObjects_.find(h.value);
    return it == kernelObjects_.end() ? nullptr : std::get_if<T>(&it->second);
}

KernelHandle FakeDesktop::CreateToolhelp32Snapshot(uint32_t flags, uint32_t processId) {
    if (Enter("CreateToolhelp32Snapshot", {Arg(flags), Arg(processId)})) return kInvalidHandle;
    if (flags & win::kTh32csSnapProcess) {
        ProcessSnapshot snapshot;
        for (const auto& p : processes_)
            if (!p.terminated) snapshot.entries.push_back({p.processId, p.exeFile});
        return NewKernelHandle(std::move(snapshot));
    }
    if (flags & win::kTh32csSnapModule) {
        // Process 0 stands for the caller's own process, as in kernel32.
        uint32_t target = processId == 0 ? currentProcessId_ : processId;
        for (const auto& p : processes_) {
            if (p.processId != target || p.terminated) continue;
            ModuleSnapshot snapshot;
            if (p.modulesReadable) snapshot.first = ModuleEntry{p.processId, p.exePath};
            return NewKernelHandle(std::move(snapshot));
        }
    }
    return kInvalidHandle;
}

std::optional<ProcessEntry> FakeDesktop::Process32First(KernelHandle snapshot) {
    if (Enter("Process32First", {Arg(snapshot)})) return std::nullopt;
    auto* s = Kernel<ProcessSnapshot>(snapshot);
    if (!s || s->entries.empty()) return std::nullopt;
    s->next = 1;
    return s->entries.front();
}

std::optional<ProcessEntry> FakeDesktop::Process32Next(KernelHandle snapshot) {
    if (Enter("Process32Next", {Arg(snapshot)})) return std::nullopt;
    auto* s = Kernel<ProcessSnapshot>(snapshot);
    if (!s || s->next >= s->entries.size()) return std::nullopt;
    return s->entries[s->next++];
}

std::optional<ModuleEntry> FakeDesktop::Module32First(KernelHandle snapshot) {
    if (Enter("Module32First", {Arg(snapshot)})) return std::nullopt;
    auto* s = Kernel<ModuleSnapshot>(snapshot);
    return s ? s->first : std::nullopt;
}

bool FakeDesktop::CloseHandle(KernelHandle h) {
    if (Enter("CloseHandle", {Arg(h)})) return false;
    return kernelObjects_.erase(h.value) > 0;
}

KernelHandle FakeDesktop::OpenProcess(uint32_t access, bool inherit, uint32_t processId) {
    if (Enter("OpenProcess", {Arg(access), Arg(inherit), Arg(processId)})) return {};
    for (const auto& p : processes_)
        if (p.processId == processId && !p.terminated && p.openable)
            return NewKernelHandle(ProcessRef{processId, access});
    return {};
}

bool FakeDesktop::TerminateProcess(KernelHandle process, uint32_t exitCode) {
    if (Enter("TerminateProcess", {Arg(process), Arg(exitCode)})) return false;
    auto* ref = Kernel<ProcessRef>(process);
    if (!ref || !(ref->access & win::kProcessTerminate)) return false;
    FakeProcess& p = Process(ref->processId);
    if (p.terminated) return false;
    p.terminated = true;
    p.exitCode = exitCode;
    // The process's windows go with it.
    for (auto& [value, w] : windows_)
        if (w.processId == p.processId && !w.destroyed) DestroyWindow(w.handle);
    return true;
}

std::optional<uint32_t> FakeDesktop::GetVersionPlatformId() {
    if (Enter("GetVersionPlatformId", {})) return std::nullopt;
    return platformId_;
}

// --- files ----------------------------------------------------------------------

std::string IcoFileBytes() {
    // One 1 x 1 32-bit image: directory, BITMAPINFOHEADER, colour and mask rows.
    std::string ico("\0\0\1\0\1\0\1\1\0\0\1\0\x20\0\x30\0\0\0\x16\0\0\0", 22);
    ico += std::string("\x28\0\0\0\1\0\0\0\2\0\0\0\1\0\x20\0", 16) + std::string(32, '\0');
    return ico;
}

KernelHandle FakeDesktop::OpenFileForReading(const std::string& path) {
    if (Enter("OpenFileForReading", {Arg(path)})) return kInvalidHandle;
    // A file a test put there, else a plain .ico for a file given icons.
    if (auto it = files_.find(path); it != files_.end())
        return NewKernelHandle(OpenFile{it->second});
    if (IconFile(path)) return NewKernelHandle(OpenFile{IcoFileBytes()});
    return kInvalidHandle;
}

std::optional<uint64_t> FakeDesktop::GetFileSize(KernelHandle file) {
    if (Enter("GetFileSize", {Arg(file)})) return std::nullopt;
    auto* open = Kernel<OpenFile>(file);
    return open ? std::optional<uint64_t>(open->bytes.size()) : std::nullopt;
}

std::string FakeDesktop::ReadFileAt(KernelHandle file, uint64_t offset, size_t count) {
    if (Enter("ReadFileAt", {Arg(file), Arg(offset), Arg(count)})) return {};
    auto* open = Kernel<OpenFile>(file);
    if (!open || offset >= open->bytes.size()) return {};
    return open->bytes.substr(size_t(offset), count);
}

bool FakeDesktop::CloseFile(KernelHandle file) {
    if (Enter("CloseFile", {Arg(file)})) return false;
    return Kernel<OpenFile>(file) && kernelObjects_.erase(file.value) > 0;
}

}  // namespace kelvorin::fake
