// DrawObject: the board's ordered collection of finished shapes, optionally keyed by strings
// (keys compare without regard to case), with the hit test over all shapes, redraw, printing and
// saving in collection order.
#pragma once

#include "plugins/doodle/shapes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlix::doodle {

class DrawObject {
public:
    using ShapeRef = std::shared_ptr<Shape>;

    // Appends the shape and returns it; with a non-empty key it is stored under that key. Null
    // (nothing added) for a null shape or a key already present.
    ShapeRef Add(ShapeRef shape, std::wstring_view sKey = {});
    // The shape at a 1-based position or under a key; null when there is none.
    [[nodiscard]] ShapeRef Item(int index) const;
    [[nodiscard]] ShapeRef Item(std::wstring_view key) const;
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }
    // False when there is no such shape.
    bool Remove(int index);
    bool Remove(std::wstring_view key);

    // Iteration over the shapes in order (the enumerator).
    class Iterator {
    public:
        using Inner = std::vector<std::pair<std::wstring, ShapeRef>>::const_iterator;
        explicit Iterator(Inner it) : it_(it) {}
        const ShapeRef& operator*() const { return it_->second; }
        Iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        Inner it_;
    };
    [[nodiscard]] Iterator begin() const { return Iterator(items_.begin()); }
    [[nodiscard]] Iterator end() const { return Iterator(items_.end()); }

    // The first shape (earlier shapes win) with a part at (x, y): mOb and mStyle get the shape
    // and the part, the result is its position. 0 with mOb null and mStyle 0 when none answers.
    int IsObject(std::int32_t x, std::int32_t y, ShapeRef& mOb, int& mStyle) const;
    void PrintObject(Drawing& drawing) const noexcept;
    // Cls, then each shape's Draw; false at the first failure.
    bool Draw(Drawing& drawing) const;
    // Each shape's record in order, no header.
    void Save(std::string& file) const;

private:
    [[nodiscard]] std::ptrdiff_t Find(std::wstring_view key) const;
    std::vector<std::pair<std::wstring, ShapeRef>> items_;
};

}  // namespace parlix::doodle
