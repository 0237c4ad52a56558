#include "plugins/doodle/drawing_file.h"

#include <array>
#include <limits>
#include <optional>

namespace parlix::doodle {

namespace {

constexpr int kFields = 6;  // tag, x1, y1, x2, y2, colour

std::wstring LineText(std::size_t line) { return L"第 " + std::to_wstring(line) + L" 行"; }

// One decimal integer with optional spaces around it; nullopt for anything else (including
// more digits than any 32-bit value has).
std::optional<std::int64_t> ParseValue(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    bool negative = false;
    if (!field.empty() && field.front() == '-') {
        negative = true;
        field.remove_prefix(1);
    }
    if (field.empty() || field.size() > 10) return std::nullopt;
    std::int64_t v = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

bool InRange(int field, std::int64_t v) {
    if (field == 0) return true;  // the tag is checked by kind
    if (field == kFields - 1)
        return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
    return v >= -kCoordinateLimit && v <= kCoordinateLimit;
}

// One record (without its line end): the shape, or the reason it is refused.
std::shared_ptr<Shape> ParseRecord(std::string_view record, std::size_t line, std::wstring& error) {
    std::array<std::int64_t, kFields> values{};
    int count = 0;
    for (;;) {
        const std::size_t comma = record.find(',');
        const std::string_view field = record.substr(0, comma);
        if (count == kFields) {
            error = LineText(line) + L"的数值多于 6 个。";
            return nullptr;
        }
        const std::optional<std::int64_t> v = ParseValue(field);
        if (!v) {
            error = LineText(line) + L"第 " + std::to_wstring(count + 1) + L" 个数值不是整数。";
            return nullptr;
        }
        if (!InRange(count, *v)) {
            error = LineText(line) + L"第 " + std::to_wstring(count + 1) + L" 个数值超出范围。";
            return nullptr;
        }
        values[static_cast<size_t>(count++)] = *v;
        if (comma == std::string_view::npos) break;
        record.remove_prefix(comma + 1);
    }
    if (count < kFields) {
        error = LineText(line) + L"只有 " + std::to_wstring(count) + L" 个数值，应为 6 个。";
        return nullptr;
    }
    std::shared_ptr<Shape> shape =
        values[0] >= 1 && values[0] <= 3 ? NewShape(static_cast<int>(values[0])) : nullptr;
    if (!shape) {
        error = LineText(line) + L"的图形种类 " + std::to_wstring(values[0]) + L" 未知。";
        return nullptr;
    }
    shape->Load({static_cast<std::int32_t>(values[1]), static_cast<std::int32_t>(values[2]),
                 static_cast<std::int32_t>(values[3]), static_cast<std::int32_t>(values[4]),
                 static_cast<BgrColor>(static_cast<std::int32_t>(values[5]))});
    return shape;
}

}  // namespace

DrawingRead ReadDrawing(std::string_view file) {
    DrawingRead read;
    if (file.size() > kMaxDrawingBytes) {
        read.error = L"文件大于 4 MB，不是涂鸦板保存的图形。";
        return read;
    }
    std::vector<std::shared_ptr<Shape>> shapes;
    std::size_t line = 0;
    while (!file.empty()) {
        ++line;
        if (shapes.size() == kMaxDrawingShapes) {
            read.error = L"文件中的图形多于 " + std::to_wstring(kMaxDrawingShapes) + L" 个。";
            return read;
        }
        const std::size_t end = file.find('\n');
        std::string_view record = file.substr(0, std::min(end, kMaxRecordChars + 2));
        if (record.size() > kMaxRecordChars + 1) {
            read.error = LineText(line) + L"过长，不是涂鸦板保存的图形。";
            return read;
        }
        // Every record ends with its line end: a last record without one may have been cut
        // anywhere, even inside its last number.
        if (end == std::string_view::npos) {
            read.error = LineText(line) + L"不完整，文件可能被截断了。";
            return read;
        }
        if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
        std::shared_ptr<Shape> shape = ParseRecord(record, line, read.error);
        if (!shape) return read;
        shapes.push_back(std::move(shape));
        file.remove_prefix(end + 1);
    }
    read.shapes = std::move(shapes);
    return read;
}

std::string WriteDrawing(const DrawObject& shapes) {
    std::string file;
    shapes.Save(file);
    return file;
}

}  // namespace parlix::doodle
