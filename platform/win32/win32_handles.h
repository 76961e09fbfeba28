// Owners for what the Win32 calls hand out: COM for one scope, COM
// interfaces and memory, GDI objects, icons and kernel handles. Each releases what it
// holds once, when it goes, and none can be copied.
#pragma once

#include <utility>

#include "platform/win32/bound_api.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// COM for the length of one call on this thread; a thread that already has
// it keeps its own model. The shell's link object lives in any apartment, so
// a thread without COM joins the multithreaded one: a single-threaded
// apartment would need a window, and with it the desktop, for nothing.
class ComScope {
  public:
    ComScope() : hr_(bound::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) bound::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT hr_;
};

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T* owned) : p_(owned) {}
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the out-parameter of a call that hands over a reference.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

// One owned handle of type Handle, freed by Free; Invalid is the value that
// owns nothing.
template <typename Handle, typename Traits>
class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle owned) : handle_(owned) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    void Reset(Handle owned = Traits::Invalid()) {
        const Handle old = std::exchange(handle_, owned);
        if (old != Traits::Invalid()) Traits::Free(old);
    }
    // Gives the handle up to a caller that frees it.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

  private:
    Handle handle_ = Traits::Invalid();
};

// The handles whose failure is null, freed by release.
template <typename Handle, auto release>
struct NullHandleTraits {
    static Handle Invalid() { return nullptr; }
    static void Free(Handle handle) { release(handle); }
};

// CreateFileW's failure is INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

// A font, brush, bitmap or pen from a Create... call.
template <typename Handle>
using GdiObject = OwnedHandle<Handle, NullHandleTraits<Handle, &::DeleteObject>>;
using IconHandle = OwnedHandle<HICON, NullHandleTraits<HICON, &::DestroyIcon>>;
using MemoryDc = OwnedHandle<HDC, NullHandleTraits<HDC, &::DeleteDC>>;
using FileHandle = OwnedHandle<HANDLE, FileHandleTraits>;
// Events, mutexes and the like, whose failure is null.
using KernelHandle = OwnedHandle<HANDLE, NullHandleTraits<HANDLE, &::CloseHandle>>;
using LibraryHandle = OwnedHandle<HMODULE, NullHandleTraits<HMODULE, &::FreeLibrary>>;
// Memory the shell hands over for the caller to free (an item id list).
template <typename Pointer>
using CoTaskMemory = OwnedHandle<Pointer, NullHandleTraits<Pointer, &bound::CoTaskMemFree>>;

}  // namespace platform::win32
