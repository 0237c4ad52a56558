#include "tools/fakeim/history.h"

#include <windows.h>

#include <cstring>

namespace fakeim {

static_assert(sizeof(void*) == 4, "the record holds 32-bit addresses, as the clients' records do");

namespace {

std::uint32_t Address(const void* p) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

wchar_t* AllocateChars(std::size_t capacity) {
    return static_cast<wchar_t*>(
        ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, (capacity + 1) * sizeof(wchar_t)));
}

} // namespace

std::unique_ptr<MemoryHistory> MemoryHistory::Create(std::wstring_view initial) {
    auto* record =
        static_cast<HistoryRecord*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HistoryRecord)));
    const std::size_t capacity = initial.size() < 256 ? 256 : initial.size();
    wchar_t* chars = AllocateChars(capacity);
    if (!record || !chars) {
        if (record) ::HeapFree(::GetProcessHeap(), 0, record);
        if (chars) ::HeapFree(::GetProcessHeap(), 0, chars);
        return nullptr;
    }
    std::memcpy(chars, initial.data(), initial.size() * sizeof(wchar_t));
    record->text = Address(chars);
    record->bytes = static_cast<std::uint32_t>(initial.size() * sizeof(wchar_t));
    return std::unique_ptr<MemoryHistory>(new MemoryHistory(record, chars, capacity));
}

MemoryHistory::~MemoryHistory() {
    ::HeapFree(::GetProcessHeap(), 0, chars_);
    ::HeapFree(::GetProcessHeap(), 0, record_);
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
        ::HeapFree(::GetProcessHeap(), 0, chars_);
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
