// RAII owners for COM references, BSTRs and VARIANTs, and the guard that keeps exceptions from
// crossing a COM boundary.
#pragma once

#include <oaidl.h>
#include <ole2.h>
#include <windows.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace parlix {

// The reference count of an object of ours: one at creation (the creator's reference). The
// object deletes itself when Release leaves none.
class RefCount {
public:
    ULONG Add() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG Release() noexcept { return static_cast<ULONG>(::InterlockedDecrement(&refs_)); }

private:
    LONG refs_ = 1;
};

// Holds one reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adds a reference of its own.
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already owns.
    [[nodiscard]] static ComPtr Adopt(T* p) noexcept {
        ComPtr r;
        r.p_ = p;
        return r;
    }

    [[nodiscard]] T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For out-parameters: releases what is held and gives the slot.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Hands the reference to the caller.
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // QueryInterface into another holder.
    template <typename U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.put_void());
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }

private:
    T* p_ = nullptr;
};

// Owns one BSTR.
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    explicit ScopedBstr(std::wstring_view text) noexcept
        : s_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ScopedBstr(ScopedBstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    ScopedBstr& operator=(ScopedBstr&& other) noexcept {
        if (this != &other) {
            reset();
            s_ = std::exchange(other.s_, nullptr);
        }
        return *this;
    }
    ~ScopedBstr() { reset(); }

    [[nodiscard]] BSTR get() const noexcept { return s_; }
    BSTR* put() noexcept {
        reset();
        return &s_;
    }
    BSTR detach() noexcept { return std::exchange(s_, nullptr); }
    void reset() noexcept {
        if (s_) ::SysFreeString(std::exchange(s_, nullptr));
    }
    [[nodiscard]] std::wstring str() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

// A VARIANT cleared when it goes.
class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { ::VariantClear(&v_); }
    VARIANT* get() noexcept { return &v_; }
    [[nodiscard]] const VARIANT& ref() const noexcept { return v_; }
    VARIANT* operator->() noexcept { return &v_; }

private:
    VARIANT v_;
};

// CoInitialize/CoUninitialize for the calling thread (single-threaded apartment).
class ComApartment {
public:
    ComApartment() noexcept : hr_(::OleInitialize(nullptr)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(hr_)) ::OleUninitialize();
    }
    [[nodiscard]] bool ok() const noexcept { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// Runs f and turns any exception into an HRESULT: nothing thrown may leave a COM method.
template <typename F>
HRESULT ComGuard(F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace parlix
