#include "tests/support/fakeim_client.h"

#include "tests/support/windows.h"
#include "tools/fakeim/protocol.h"

#include <stdexcept>
#include <thread>

namespace parlix::test {

HWND FindFakeImControl(DWORD pid) {
    HWND w = nullptr;
    while ((w = ::FindWindowExW(HWND_MESSAGE, w, fakeim::kControlClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

std::unique_ptr<FakeIm> FakeIm::Launch(const std::filesystem::path& dir, const std::wstring& exeName,
                                       const std::vector<std::wstring>& commands,
                                       std::chrono::milliseconds deadline) {
    const auto exe = dir / exeName;
    auto im = std::make_unique<FakeIm>();
    // Under a busy Wine server a copy or a process start now and then fails at once: tried
    // again a few times before the simulator counts as not started.
    for (int attempt = 0; attempt < 3 && !im->process_.Running(); ++attempt) {
        std::error_code ec;
        std::filesystem::copy_file(BinDir() / L"fakeim.exe", exe, std::filesystem::copy_options::overwrite_existing,
                                   ec);
        if (ec && !std::filesystem::exists(exe)) continue;
        im->process_ = Process::Start(exe, commands);
    }
    if (!im->process_.Running()) return nullptr;
    const DWORD pid = im->process_.Id();
    im->control_ = WaitFor([&] { return FindFakeImControl(pid); }, deadline);
    if (!im->control_) return nullptr;
    return im;
}

FakeIm& Started(const std::unique_ptr<FakeIm>& im) {
    if (!im) throw std::runtime_error("the simulator did not start");
    return *im;
}

LRESULT FakeIm::Command(std::wstring_view command, std::chrono::milliseconds timeout) {
    return SendFakeImCommand(control_, command, timeout);
}

LRESULT SendFakeImCommand(HWND control, std::wstring_view command, std::chrono::milliseconds timeout) {
    COPYDATASTRUCT cds{};
    cds.dwData = fakeim::kCommandTag;
    cds.cbData = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    cds.lpData = const_cast<wchar_t*>(command.data());
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG,
                               static_cast<UINT>(timeout.count()), &result))
        return 0;
    return static_cast<LRESULT>(result);
}

HWND FakeIm::Open(std::wstring_view kind, std::wstring_view title, std::wstring_view options) {
    std::wstring cmd = L"open|" + std::wstring(kind) + L"|" + EscapeField(title);
    if (!options.empty()) cmd += L"|" + std::wstring(options);
    return reinterpret_cast<HWND>(Command(cmd));
}

HWND FakeIm::Main(std::wstring_view which) {
    return reinterpret_cast<HWND>(Command(L"main|" + std::wstring(which)));
}

std::wstring EscapeField(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\\') out += L"\\\\";
        else if (c == L'|') out += L"\\p";
        else if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') out += L"\\n", ++i;
        else if (c == L'\r') out += L"\\r";
        else if (c == L'\n') out += L"\\n";
        else out += c;
    }
    return out;
}

std::wstring HwndArg(HWND hwnd) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(hwnd)); }

}  // namespace parlix::test
