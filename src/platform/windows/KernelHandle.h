#pragma once
// A scoped owner of a kernel object (a file, a mutex, a process): closed once, when it goes.
#include <windows.h>

#include <memory>

namespace tg {

struct KernelHandleClose {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleClose>;

}  // namespace tg
