// What Explorer and the loader read from the built files: version blocks, program manifests,
// the icon drawn at every size and the tab images for every dpi.
#include "base/product_info.h"
#include "base/scoped_win.h"
#include "tests/support/process.h"
#include "ui/tab_images.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace parlix::test {
namespace {

struct VersionFacts {
    std::wstring fileVersion, productVersion, description, product, originalName;
    WORD major = 0, minor = 0, build = 0, revision = 0;
    DWORD fileType = 0;
};

std::wstring Text(const std::vector<BYTE>& block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value || length == 0) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

std::optional<VersionFacts> ReadVersion(const std::filesystem::path& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return std::nullopt;
    VersionFacts f;
    f.major = HIWORD(fixed->dwFileVersionMS);
    f.minor = LOWORD(fixed->dwFileVersionMS);
    f.build = HIWORD(fixed->dwFileVersionLS);
    f.revision = LOWORD(fixed->dwFileVersionLS);
    f.fileType = fixed->dwFileType;
    f.fileVersion = Text(block, L"FileVersion");
    f.productVersion = Text(block, L"ProductVersion");
    f.description = Text(block, L"FileDescription");
    f.product = Text(block, L"ProductName");
    f.originalName = Text(block, L"OriginalFilename");
    return f;
}

struct ExpectedVersion {
    const wchar_t* file;
    const wchar_t* description;
    const wchar_t* product;
    const wchar_t* text;
    WORD major, minor, revision;
    DWORD fileType;
    bool shipsAlways;  // the plugins are built from their own folders once they exist
};

const std::wstring kParlixVersionText =
    std::to_wstring(kVersionMajor) + L".0" + std::to_wstring(kVersionMinor) + L".0000";

TEST(VersionBlock, EveryDeliverableSaysWhatItIsAndWhichVersion) {
    const ExpectedVersion table[] = {
        {L"Parlix.exe", L"Parlix", L"Parlix", kParlixVersionText.c_str(), kVersionMajor, kVersionMinor, 0, VFT_APP,
         true},
        {L"Parlix.dll", L"Parlix窗口钩子组件", L"Parlix", kParlixVersionText.c_str(), kVersionMajor, kVersionMinor, 0,
         VFT_DLL, true},
        {L"Nexcor.dll", L"Parlix插件接口组件", L"Parlix", kParlixVersionText.c_str(), kVersionMajor, kVersionMinor, 0,
         VFT_DLL, true},
        {L"Plugins\\Murmelo.dll", L"Parlix消息提示组件", L"Parlix消息提示组件", L"1.00.0002", 1, 0, 2, VFT_DLL, false},
        {L"Plugins\\Skribel.dll", L"Parlix涂鸦板组件", L"Parlix涂鸦板组件", L"1.00.0003", 1, 0, 3, VFT_DLL, false},
    };
    for (const ExpectedVersion& e : table) {
        SCOPED_TRACE(e.file);
        const std::filesystem::path file = BinDir() / e.file;
        if (!e.shipsAlways && !std::filesystem::exists(file)) continue;
        const auto v = ReadVersion(file);
        ASSERT_TRUE(v.has_value()) << "no version block";
        EXPECT_EQ(v->fileVersion, e.text);
        EXPECT_EQ(v->productVersion, e.text);
        EXPECT_EQ(v->description, e.description);
        EXPECT_EQ(v->product, e.product);
        EXPECT_EQ(v->originalName, file.filename().wstring());
        EXPECT_EQ(v->major, e.major);
        EXPECT_EQ(v->minor, e.minor);
        EXPECT_EQ(v->build, 0);
        EXPECT_EQ(v->revision, e.revision);
        EXPECT_EQ(v->fileType, e.fileType);
    }
}

// The program's embedded manifest (resource 1 of type RT_MANIFEST), as text.
std::string ManifestOf(const std::filesystem::path& exe) {
    const ScopedModule module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return {};
    const HRSRC res = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!res) return {};
    const HGLOBAL data = ::LoadResource(module.get(), res);
    const auto* text = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
    return text ? std::string(text, ::SizeofResource(module.get(), res)) : std::string();
}

TEST(Manifest, EveryProgramAsksForCommonControlsSixAndParlixForPerMonitorDpi) {
    const struct {
        const wchar_t* exe;
        bool dpiAware;
    } table[] = {{L"Parlix.exe", true}, {L"demo_driver.exe", true}, {L"fakeim.exe", false}};
    for (const auto& e : table) {
        SCOPED_TRACE(e.exe);
        const std::string manifest = ManifestOf(BinDir() / e.exe);
        ASSERT_FALSE(manifest.empty()) << "no manifest";
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        EXPECT_EQ(manifest.find("PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos, e.dpiAware);
        // Systems before the dpiAwareness element read the older one.
        EXPECT_EQ(manifest.find(">true/pm</dpiAware>") != std::string::npos, e.dpiAware);
    }
}

// Widths of the images of an icon group (GRPICONDIR entries).
std::multiset<int> IconGroupSizes(HMODULE module, int id) {
    std::multiset<int> sizes;
    const HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!res) return sizes;
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, res)));
    const int count = bytes[4] | (bytes[5] << 8);
    for (int i = 0; i < count; ++i) {
        const BYTE width = bytes[6 + 14 * i];
        sizes.insert(width == 0 ? 256 : width);
    }
    return sizes;
}

TEST(Pictures, IconsAreDrawnForEveryDpiStepAndTheSmallOneStaysResourceTwo) {
    const std::multiset<int> all{16, 24, 32, 48};
    const ScopedModule program(::LoadLibraryExW((BinDir() / L"Parlix.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    const ScopedModule hook(::LoadLibraryExW((BinDir() / L"Parlix.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program && hook);
    EXPECT_EQ(IconGroupSizes(program.get(), 1), all) << "program icon";
    EXPECT_EQ(IconGroupSizes(program.get(), 103), all) << "new-message icon";
    EXPECT_EQ(IconGroupSizes(hook.get(), 100), all) << "hook library's icon";
    // RT_ICON 2 of the hook library is loaded by number as a 16 x 16, 32-bit image.
    const HRSRC small = ::FindResourceW(hook.get(), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(3));
    ASSERT_NE(small, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(hook.get(), small)));
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 32) << "colour and mask";
    EXPECT_EQ(header->biBitCount, 32);
}

TEST(Pictures, TabImagesOfEveryDpiHaveTheirSize) {
    const ScopedModule module(::LoadLibraryExW((BinDir() / L"Parlix.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    const HMODULE program = module.get();
    for (int dpi : {96, 120, 144, 192, 288}) {
        SCOPED_TRACE(dpi);
        const TabImageSet set = TabImagesForDpi(dpi);
        for (int id : {set.lockId, set.chatId}) {
            ScopedBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(program, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
            ASSERT_TRUE(bitmap) << id;
            BITMAP b{};
            ::GetObjectW(bitmap.get(), sizeof b, &b);
            EXPECT_EQ(b.bmWidth, set.size);
            EXPECT_EQ(b.bmHeight, set.size);
        }
    }
}

}  // namespace
}  // namespace parlix::test
