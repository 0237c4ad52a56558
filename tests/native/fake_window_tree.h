// An in-memory window tree for the logic's unit tests: windows with chosen classes, titles, styles
// and owners; children kept in z-order (first added = topmost); a clock advanced by Wait, so that a
// title can change some time after the window was created.
#pragma once

#include "capture/window_tree.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlix::testing {

struct FakeWindow {
    std::wstring className;
    std::wstring title;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

class FakeWindowTree final : public WindowTree {
  public:
    // Adds a window below the existing children of parent (Hwnd{} = top level).
    Hwnd Add(FakeWindow window, Hwnd parent = Hwnd{}) {
        const Hwnd h{nextHandle_};
        nextHandle_ += 4;
        nodes_[h.value] = Node{std::move(window), std::nullopt, 0};
        children_[parent.value].push_back(h);
        return h;
    }

    // Adds a window under a handle of the caller's (a real window's, for tests that need both).
    Hwnd AddAs(Hwnd h, FakeWindow window, Hwnd parent = Hwnd{}) {
        nodes_[h.value] = Node{std::move(window), std::nullopt, 0};
        children_[parent.value].push_back(h);
        return h;
    }

    // The title becomes `title` once the clock has reached `afterMs`.
    void SetTitleLater(Hwnd w, std::wstring title, int afterMs) {
        Node& n = nodes_.at(w.value);
        n.laterTitle = std::move(title);
        n.laterAt = afterMs;
    }

    [[nodiscard]] int WaitCalls() const { return waitCalls_; }
    [[nodiscard]] int Clock() const { return clock_; }

    std::wstring Title(Hwnd w) const override {
        const Node* n = Find(w);
        if (!n) return {};
        return n->laterTitle && clock_ >= n->laterAt ? *n->laterTitle : n->window.title;
    }
    std::wstring ClassName(Hwnd w) const override {
        const Node* n = Find(w);
        return n ? n->window.className : std::wstring();
    }
    std::uint32_t Style(Hwnd w) const override { return Field(w, &FakeWindow::style); }
    std::uint32_t ExStyle(Hwnd w) const override { return Field(w, &FakeWindow::exStyle); }
    std::uint32_t ProcessId(Hwnd w) const override { return Field(w, &FakeWindow::processId); }
    std::uint32_t ThreadId(Hwnd w) const override { return Field(w, &FakeWindow::threadId); }

    Hwnd FindChild(Hwnd parent, Hwnd after, std::optional<std::wstring_view> className,
                   std::optional<std::wstring_view> title) const override {
        const auto it = children_.find(parent.value);
        if (it == children_.end()) return Hwnd{};
        const std::vector<Hwnd>& list = it->second;
        std::size_t i = 0;
        if (after) {
            // Like FindWindowEx, `after` must be a child of parent.
            while (i < list.size() && list[i] != after)
                ++i;
            if (i == list.size()) return Hwnd{};
            ++i;
        }
        for (; i < list.size(); ++i) {
            if (className && ClassName(list[i]) != *className) continue;
            if (title && Title(list[i]) != *title) continue;
            return list[i];
        }
        return Hwnd{};
    }

    void Wait(int milliseconds) override {
        ++waitCalls_;
        clock_ += milliseconds;
    }

  private:
    struct Node {
        FakeWindow window;
        std::optional<std::wstring> laterTitle;
        int laterAt;
    };

    const Node* Find(Hwnd w) const {
        const auto it = nodes_.find(w.value);
        return it == nodes_.end() ? nullptr : &it->second;
    }
    std::uint32_t Field(Hwnd w, std::uint32_t FakeWindow::*member) const {
        const Node* n = Find(w);
        return n ? n->window.*member : 0;
    }

    std::map<std::uint32_t, Node> nodes_;
    std::map<std::uint32_t, std::vector<Hwnd>> children_; // by parent handle; 0 = top level
    std::uint32_t nextHandle_ = 0x10010;
    int clock_ = 0;
    int waitCalls_ = 0;
};

} // namespace parlix::testing
