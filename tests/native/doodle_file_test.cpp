#include "plugins/doodle/drawing_file.h"

#include <gtest/gtest.h>

namespace parlix::doodle {
namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(DoodleFile, EveryShapeKindRoundTripsThroughItsRecord) {
    DrawObject shapes;
    const struct {
        int tag;
        ShapeRecord r;
    } kinds[] = {{1, {10, 20, 30, 40, 0x0000FF}},
                 {2, {-5, -kCoordinateLimit, kCoordinateLimit, 0, 0xFFFFFF}},
                 {3, {100, 100, 130, 140, 0x80000005}}};  // a system colour: negative when written
    for (const auto& k : kinds) {
        auto s = NewShape(k.tag);
        s->Load(k.r);
        shapes.Add(s);
    }
    const std::string text = WriteDrawing(shapes);
    EXPECT_EQ(text, "1,10,20,30,40,255\r\n2,-5,-16777216,16777216,0,16777215\r\n3,100,100,130,140,-2147483643\r\n");

    const DrawingRead read = ReadDrawing(text);
    ASSERT_TRUE(read.ok()) << Narrow(read.error);
    ASSERT_EQ(read.shapes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(static_cast<int>(read.shapes[i]->Kind()), kinds[i].tag);
        EXPECT_EQ(read.shapes[i]->P1(), (Point{kinds[i].r.x1, kinds[i].r.y1}));
        EXPECT_EQ(read.shapes[i]->P2(), (Point{kinds[i].r.x2, kinds[i].r.y2}));
        EXPECT_EQ(read.shapes[i]->Color(), kinds[i].r.colour);
    }
}

TEST(DoodleFile, RecordsWithSpacesOrBareLineFeedsAndAnEmptyFileAreRead) {
    EXPECT_EQ(ReadDrawing(" 1, 2 ,3,4,5,6\n3,0,0,9,9,0\r\n").shapes.size(), 2u);
    const DrawingRead empty = ReadDrawing("");
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.shapes.empty());
}

TEST(DoodleFile, TruncatedOrHostileFilesAreRefusedWholeWithTheirReason) {
    const std::string good = "1,0,0,10,10,255\r\n";
    const struct {
        std::string text;
        std::wstring reason;
    } cases[] = {
        {good + "2,0,0,10,10,25", L"第 2 行不完整"},  // cut inside its last number
        {good + "1,0,0,0,0\r\n", L"第 2 行只有 5 个数值"},
        {"1,0,0,0,0,255,7\r\n", L"第 1 行的数值多于 6 个"},
        {"4,0,0,0,0,0\r\n", L"第 1 行的图形种类 4 未知"},
        {"0,0,0,0,0,0\r\n", L"图形种类 0 未知"},
        {"1,0,0,0,0,red\r\n", L"第 1 行第 6 个数值不是整数"},
        {"1,,0,0,0,0\r\n", L"第 1 行第 2 个数值不是整数"},
        {"1,0,0,0,0,1e3\r\n", L"第 6 个数值不是整数"},
        {"1,99999999999,0,0,0,0\r\n", L"第 2 个数值不是整数"},
        {"1,16777217,0,0,0,0\r\n", L"第 2 个数值超出范围"},
        {"1,0,0,0,0,2147483648\r\n", L"第 6 个数值超出范围"},
        {"1,0,0,0,0,1" + std::string(200, '0') + "\r\n", L"第 1 行过长"},
        {"\r\n", L"第 1 行第 1 个数值不是整数"},
        {std::string("1,0,0,0,0,\0\r\n", 13), L"第 6 个数值不是整数"},
        {std::string(kMaxDrawingBytes + 1, '\n'), L"大于 4 MB"},
    };
    for (const auto& c : cases) {
        const DrawingRead read = ReadDrawing(c.text);
        EXPECT_FALSE(read.ok());
        EXPECT_NE(read.error.find(c.reason), std::wstring::npos) << Narrow(read.error);
        EXPECT_TRUE(read.shapes.empty());
    }
}

TEST(DoodleFile, MoreShapesThanTheBoundAreRefused) {
    std::string text;
    for (size_t i = 0; i <= kMaxDrawingShapes; ++i) text += "1,0,0,1,1,0\r\n";
    const DrawingRead read = ReadDrawing(text);
    EXPECT_NE(read.error.find(L"多于 100000 个"), std::wstring::npos);
    EXPECT_TRUE(read.shapes.empty());
}

}  // namespace
}  // namespace parlix::doodle
