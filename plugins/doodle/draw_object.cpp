#include "plugins/doodle/draw_object.h"

#include <algorithm>
#include <cwctype>

namespace parlix::doodle {

namespace {

bool SameKey(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

}  // namespace

std::ptrdiff_t DrawObject::Find(std::wstring_view key) const {
    if (key.empty()) return -1;
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& e) { return SameKey(e.first, key); });
    return it == items_.end() ? -1 : it - items_.begin();
}

DrawObject::ShapeRef DrawObject::Add(ShapeRef shape, std::wstring_view sKey) {
    if (!shape || Find(sKey) >= 0) return nullptr;
    items_.emplace_back(std::wstring(sKey), shape);
    return shape;
}

DrawObject::ShapeRef DrawObject::Item(int index) const {
    if (index < 1 || index > Count()) return nullptr;
    return items_[static_cast<size_t>(index - 1)].second;
}

DrawObject::ShapeRef DrawObject::Item(std::wstring_view key) const {
    const std::ptrdiff_t at = Find(key);
    return at < 0 ? nullptr : items_[static_cast<size_t>(at)].second;
}

bool DrawObject::Remove(int index) {
    if (index < 1 || index > Count()) return false;
    items_.erase(items_.begin() + (index - 1));
    return true;
}

bool DrawObject::Remove(std::wstring_view key) {
    const std::ptrdiff_t at = Find(key);
    if (at < 0) return false;
    items_.erase(items_.begin() + at);
    return true;
}

int DrawObject::IsObject(std::int32_t x, std::int32_t y, ShapeRef& mOb, int& mStyle) const {
    for (int i = 1; i <= Count(); ++i) {
        const ShapeRef& shape = items_[static_cast<size_t>(i - 1)].second;
        if (const int part = shape->IsCurrent(x, y); part > 0) {
            mOb = shape;
            mStyle = part;
            return i;
        }
    }
    mOb = nullptr;
    mStyle = 0;
    return 0;
}

void DrawObject::PrintObject(Drawing& drawing) const noexcept {
    for (const auto& [key, shape] : items_) shape->PrintObject(drawing);
}

bool DrawObject::Draw(Drawing& drawing) const {
    if (!drawing.Cls()) return false;
    for (const auto& [key, shape] : items_)
        if (!shape->Draw(drawing)) return false;
    return true;
}

void DrawObject::Save(std::string& file) const {
    for (const auto& [key, shape] : items_) shape->Save(file);
}

}  // namespace parlix::doodle
