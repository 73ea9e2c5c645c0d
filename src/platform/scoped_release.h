// Platform objects the portable code holds for a moment (a snapshot, an open
// process, an extracted icon), released through the platform's own call on
// every way out of the scope that got them.
#pragma once

#include "platform/platform.h"

namespace kelvorin {

// A kernel object the portable code holds for a moment, closed through the
// platform object that gave it out.
template <typename Api, bool (Api::*Close)(KernelHandle)>
class ScopedHandle {
public:
    ScopedHandle(Api& api, KernelHandle h) : api_(api), h_(h) {}
    ~ScopedHandle() {
        if (*this) (api_.*Close)(h_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    KernelHandle get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != kInvalidHandle; }

private:
    Api& api_;
    KernelHandle h_;
};
// A snapshot or an open process.
using ScopedKernelHandle = ScopedHandle<IProcesses, &IProcesses::CloseHandle>;
// A file opened for reading.
using ScopedFile = ScopedHandle<IFiles, &IFiles::CloseFile>;

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
