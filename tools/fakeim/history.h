// A chat history kept in memory the way the memory-read clients keep theirs: a record at a
// fixed address pointing to UTF-16 text (layout in protocol.h).
#pragma once

#include "tools/fakeim/protocol.h"

#include <memory>
#include <string_view>

namespace fakeim {

class MemoryHistory {
  public:
    // Null when the process heap is exhausted.
    [[nodiscard]] static std::unique_ptr<MemoryHistory> Create(std::wstring_view initial);
    MemoryHistory(const MemoryHistory&) = delete;
    MemoryHistory& operator=(const MemoryHistory&) = delete;
    ~MemoryHistory();

    // The record never moves while this object lives; the characters may.
    [[nodiscard]] const HistoryRecord* Record() const noexcept { return record_; }
    [[nodiscard]] std::wstring_view Text() const noexcept;
    bool Append(std::wstring_view text);

  private:
    MemoryHistory(HistoryRecord* record, wchar_t* chars, std::size_t capacity) noexcept
        : record_(record), chars_(chars), capacity_(capacity) {}

    HistoryRecord* record_;
    wchar_t* chars_;
    std::size_t capacity_; // characters, not counting the terminator
};

} // namespace fakeim
