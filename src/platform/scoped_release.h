// Platform objects the portable code holds for a moment (a snapshot, an open
// process, an extracted icon), released through the platform's own call on
// every way out of the scope that got them.
#pragma once

#include "platform/platform.h"

namespace kelvorin {

// A snapshot or process handle, closed with IProcesses::CloseHandle.
class ScopedKernelHandle {
public:
    ScopedKernelHandle(IProcesses& processes, KernelHandle h) : processes_(processes), h_(h) {}
    ~ScopedKernelHandle() {
        if (*this) processes_.CloseHandle(h_);
    }
    ScopedKernelHandle(const ScopedKernelHandle&) = delete;
    ScopedKernelHandle& operator=(const ScopedKernelHandle&) = delete;
    KernelHandle get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != kInvalidHandle; }

private:
    IProcesses& processes_;
    KernelHandle h_;
};

// A file opened for reading, closed with IFiles::CloseFile.
class ScopedFile {
public:
    ScopedFile(IFiles& files, KernelHandle h) : files_(files), h_(h) {}
    ~ScopedFile() {
        if (*this) files_.CloseFile(h_);
    }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    KernelHandle get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != kInvalidHandle; }

private:
    IFiles& files_;
    KernelHandle h_;
};

// Icons handed out by the shell, destroyed with IShell::DestroyIcon in the
// order they were given: the large one of a pair before the small one.
class ScopedIcons {
public:
    ScopedIcons(IShell& shell, IconPair icons) : shell_(shell), icons_(icons) {}
    ScopedIcons(IShell& shell, IconHandle icon) : shell_(shell), icons_{icon, IconHandle()} {}
    ~ScopedIcons() {
        if (icons_.large) shell_.DestroyIcon(icons_.large);
        if (icons_.small) shell_.DestroyIcon(icons_.small);
    }
    ScopedIcons(const ScopedIcons&) = delete;
    ScopedIcons& operator=(const ScopedIcons&) = delete;
    IconHandle large() const { return icons_.large; }
    IconHandle small() const { return icons_.small; }

private:
    IShell& shell_;
    IconPair icons_;
};

}  // namespace kelvorin
