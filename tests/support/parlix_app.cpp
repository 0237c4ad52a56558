#include "tests/support/parlix_app.h"

#include "tests/support/windows.h"

namespace parlix::test {

std::unique_ptr<ParlixApp> ParlixApp::Launch(const std::filesystem::path& dir, std::chrono::milliseconds deadline) {
    std::error_code ec;
    for (const wchar_t* file : {L"Parlix.exe", L"Parlix.dll"}) {
        std::filesystem::copy_file(BinDir() / file, dir / file, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) return nullptr;
    }
    auto app = std::make_unique<ParlixApp>();
    app->process_ = Process::Start(dir / L"Parlix.exe", {});
    if (!app->process_.Running()) return nullptr;
    app->main_ = WaitForWindow({.className = L"Parlix.frmMain", .pid = app->process_.Id()}, deadline);
    if (!app->main_) return nullptr;
    return app;
}

bool ParlixApp::Close(std::chrono::milliseconds deadline) {
    if (main_) ::PostMessageW(main_, WM_CLOSE, 0, 0);
    const bool ended = process_.Wait(deadline);
    process_.Kill();
    return ended;
}

std::vector<std::wstring> ParlixApp::RecognitionLines() const {
    std::vector<std::wstring> lines;
    const HWND list = ::FindWindowExW(main_, nullptr, L"ListBox", nullptr);
    if (!list) return lines;
    DWORD_PTR count = 0;
    if (!::SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count)) return lines;
    for (DWORD_PTR i = 0; i < count && i < 10000; ++i) {
        DWORD_PTR len = 0;
        if (!::SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 1000, &len) || len > 4096) break;
        std::wstring text(len + 1, L'\0');
        DWORD_PTR got = 0;
        if (!::SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 1000,
                                   &got))
            break;
        text.resize(got <= len ? got : len);
        lines.push_back(text);
    }
    return lines;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return fields;
        start = tab + 1;
    }
}

std::vector<std::wstring> ParlixApp::WaitForRecognition(HWND window, std::chrono::milliseconds deadline) const {
    const std::wstring id = std::to_wstring(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
    return WaitFor(
        [&]() -> std::vector<std::wstring> {
            for (const auto& line : RecognitionLines()) {
                auto fields = SplitTabs(line);
                if (fields.size() == 5 && fields[4] == id) return fields;
            }
            return {};
        },
        deadline, 2ms);
}

}  // namespace parlix::test
