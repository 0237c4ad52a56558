#include "tools/fakeim/history.h"

#include <windows.h>

#include <cstring>

namespace fakeim {

namespace {

std::uint32_t Address(const void* p) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

// The record holds 32-bit addresses, as the clients' records do: a 64-bit build of the
// simulator (for hosts that run no 32-bit code) keeps records and characters below 4 GB.
void* AllocateLow(std::size_t bytes) {
#ifdef _WIN64
    constexpr std::uintptr_t kFirst = 0x10000000, kEnd = 0xFFFF0000, kStep = 0x10000;
    static std::uintptr_t next = kFirst;
    const std::uintptr_t size = (bytes + kStep - 1) / kStep * kStep;
    for (std::uintptr_t tried = 0; tried < kEnd - kFirst; tried += size) {
        if (next + size > kEnd) next = kFirst;
        void* p = ::VirtualAlloc(reinterpret_cast<void*>(next), size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        next += size;
        if (p) return p;
    }
    return nullptr;
#else
    return ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
#endif
}

void FreeLow(void* p) {
    if (!p) return;
#ifdef _WIN64
    ::VirtualFree(p, 0, MEM_RELEASE);
#else
    ::HeapFree(::GetProcessHeap(), 0, p);
#endif
}

wchar_t* AllocateChars(std::size_t capacity) {
    return static_cast<wchar_t*>(AllocateLow((capacity + 1) * sizeof(wchar_t)));
}

} // namespace

std::unique_ptr<MemoryHistory> MemoryHistory::Create(std::wstring_view initial) {
    auto* record =
        static_cast<HistoryRecord*>(AllocateLow(sizeof(HistoryRecord)));
    const std::size_t capacity = initial.size() < 256 ? 256 : initial.size();
    wchar_t* chars = AllocateChars(capacity);
    if (!record || !chars) {
        FreeLow(record);
        FreeLow(chars);
        return nullptr;
    }
    std::memcpy(chars, initial.data(), initial.size() * sizeof(wchar_t));
    record->text = Address(chars);
    record->bytes = static_cast<std::uint32_t>(initial.size() * sizeof(wchar_t));
    return std::unique_ptr<MemoryHistory>(new MemoryHistory(record, chars, capacity));
}

MemoryHistory::~MemoryHistory() {
    FreeLow(chars_);
    FreeLow(record_);
}

std::wstring_view MemoryHistory::Text() const noexcept {
    return {chars_, record_->bytes / sizeof(wchar_t)};
}

bool MemoryHistory::Append(std::wstring_view text) {
    const std::size_t length = record_->bytes / sizeof(wchar_t);
    const std::size_t needed = length + text.size();
    if (needed > capacity_) {
        // A new buffer is filled before the record points to it, so a reader in another
        // process sees either the old text or the new one, never a half-copied buffer.
        const std::size_t capacity = needed * 2;
        wchar_t* chars = AllocateChars(capacity);
        if (!chars) return false;
        std::memcpy(chars, chars_, length * sizeof(wchar_t));
        std::memcpy(chars + length, text.data(), text.size() * sizeof(wchar_t));
        record_->text = Address(chars);
        record_->bytes = static_cast<std::uint32_t>(needed * sizeof(wchar_t));
        FreeLow(chars_);
        chars_ = chars;
        capacity_ = capacity;
        return true;
    }
    std::memcpy(chars_ + length, text.data(), text.size() * sizeof(wchar_t));
    chars_[needed] = L'\0';
    record_->bytes = static_cast<std::uint32_t>(needed * sizeof(wchar_t));
    return true;
}

} // namespace fakeim
