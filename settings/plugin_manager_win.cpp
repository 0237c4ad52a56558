#include "settings/plugin_manager_win.h"

#include "base/error_report_win.h"
#include "base/scoped_win.h"
#include "base/window_text_win.h"
#include "settings/ini_values.h"

#include <memory>

namespace parlix {

namespace {

constexpr wchar_t kCoreFailedText[] = L"核心组件初始化失败，请在管理员权限下再次运行本程序。";
constexpr wchar_t kCoreFailedTitle[] = L"错误啦~";

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring SystemText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                     nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"自动化错误";
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return text;
}

// A listed plugin: one reference to its object, and the host object it is handed.
class ComPlugin final : public PluginObject {
public:
    ComPlugin(ComPtr<_Parlix_Plugin> object, const ComPtr<_Parlix_Core>& core) noexcept
        : object_(std::move(object)), core_(core) {}

    void OnConnection() override {
        // The plugin gets the host's own temporary copy: whatever it assigns to the by-reference
        // argument stays out of the host.
        _Parlix_Core* argument = ComPtr<_Parlix_Core>(core_).detach();
        const HRESULT hr = object_->OnConnection(&argument);
        if (argument) argument->Release();
        ThrowIfFailed(hr, object_.get(), IID__Parlix_Plugin);
    }
    void OnDisconnection() override { ThrowIfFailed(object_->OnDisconnection(), object_.get(), IID__Parlix_Plugin); }

    [[nodiscard]] const ComPtr<_Parlix_Plugin>& Object() const noexcept { return object_; }

private:
    ComPtr<_Parlix_Plugin> object_;
    const ComPtr<_Parlix_Core>& core_;
};

// Answers messages sent to this thread (another program's SendMessage) while waiting, so the
// wait never deadlocks with one; posted input and timers wait for the main loop.
bool WaitAnsweringSent(HANDLE handle, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return false;
        const DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

class PluginManagerWin::System final : public PluginSystem {
public:
    explicit System(const ComPtr<_Parlix_Core>& core) noexcept : core_(core) {}

    void SetCurrentDirectory(std::wstring_view dir) override {
        const std::wstring d(dir);
        if (!::SetCurrentDirectoryW(d.c_str())) {
            const DWORD e = ::GetLastError();
            throw PluginCallError(76, "路径未找到" + (e ? "（" + Utf8(SystemText(HRESULT_FROM_WIN32(e))) + "）" : ""));
        }
    }

    std::vector<std::wstring> ListDlls() override {
        std::vector<std::wstring> files;
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW(L"*.dll", &data);
        if (find == INVALID_HANDLE_VALUE) return files;
        do {
            if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
                files.emplace_back(data.cFileName);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return files;
    }

    bool FileExists(std::wstring_view path) override {
        const DWORD a = ::GetFileAttributesW(std::wstring(path).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }

    void RunRegsvr32(std::wstring_view arguments) override { parlix::RunRegsvr32(arguments); }

    PluginRef Create(std::wstring_view progId) override {
        ComPtr<_Parlix_Plugin> object = CreatePluginObject(progId);
        if (!object) return nullptr;
        return std::make_shared<ComPlugin>(std::move(object), core_);
    }

private:
    const ComPtr<_Parlix_Core>& core_;
};

ComPtr<_Parlix_Plugin> CreatePluginObject(std::wstring_view progId) noexcept {
    try {
        const std::wstring id(progId);
        CLSID clsid;
        if (FAILED(::CLSIDFromProgID(id.c_str(), &clsid))) return nullptr;
        ComPtr<_Parlix_Plugin> object;
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Plugin, object.put_void())))
            return nullptr;
        return object;
    } catch (...) {
        return nullptr;
    }
}

bool CheckPluginClass(std::wstring_view progId) noexcept { return static_cast<bool>(CreatePluginObject(progId)); }

ComPtr<_Parlix_Plugin> ComObjectOf(const PluginRef& plugin) noexcept {
    const auto* com = dynamic_cast<const ComPlugin*>(plugin.get());
    return com ? com->Object() : nullptr;
}

void ThrowIfFailed(HRESULT hr, IUnknown* object, REFIID iid) {
    if (SUCCEEDED(hr)) return;
    std::wstring description;
    ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        ComPtr<IErrorInfo> info;
        if (::GetErrorInfo(0, info.put()) == S_OK && info) {
            ScopedBstr text;
            if (SUCCEEDED(info->GetDescription(text.put()))) description = text.str();
        }
    }
    if (description.empty()) description = SystemText(hr);
    throw PluginCallError(static_cast<long>(hr), Utf8(description));
}

bool RunRegsvr32(std::wstring_view arguments, unsigned timeoutMs) {
    wchar_t system[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring command = L"\"" + std::wstring(system) + L"\\regsvr32.exe\" " + std::wstring(arguments);
    STARTUPINFOW si{sizeof si};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    const ScopedHandle process(pi.hProcess);
    const ScopedHandle thread(pi.hThread);
    return WaitAnsweringSent(process.get(), timeoutMs);
}

void RegisterCore(const std::wstring& programDir, const MessageBoxFn& box) {
    try {
        ::SetCurrentDirectoryW(programDir.c_str());
        const std::wstring arguments =
            RegisterArguments(programDir + (programDir.ends_with(L'\\') ? L"" : L"\\") + L"Nexcor.dll");
        const auto coreCreatable = [] {
            ComPtr<IUnknown> core;
            return SUCCEEDED(::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core,
                                                core.put_void()));
        };
        RunRegsvr32(arguments);
        if (coreCreatable()) return;
        RunRegsvr32(arguments);
        if (coreCreatable()) return;
        if (box) box(kCoreFailedText, kCoreFailedTitle, MB_OKCANCEL | MB_ICONERROR);
        else ::MessageBoxW(nullptr, kCoreFailedText, kCoreFailedTitle, MB_OKCANCEL | MB_ICONERROR);
    } catch (...) {
        // Never reported: start-up goes on without plugins.
    }
}

void ReportPluginError(std::wstring_view procedure, long line) {
    ErrorInfo info;
    try {
        throw;
    } catch (const PluginCallError& e) {
        info = ErrorInfo{L"modPlugin", std::wstring(procedure), FromCodePage(e.what(), CP_UTF8), e.Number(), line};
    } catch (const IniValueError& e) {
        info = ErrorInfo{L"modPlugin", std::wstring(procedure), FromCodePage(e.what(), CP_UTF8), e.Number(), line};
    } catch (...) {
        info = DescribeCurrentException(L"modPlugin", std::wstring(procedure), line);
    }
    ReportError(info);
}

PluginManagerWin::PluginManagerWin(const std::wstring& programDir, PluginErrorReport report)
    : system_(std::make_unique<System>(core_)), manager_(*system_, ini_, ini_, programDir, std::move(report)) {}

PluginManagerWin::~PluginManagerWin() = default;

void PluginManagerWin::EnumPlugins(HWND listBox) {
    for (const std::wstring& name : manager_.EnumPlugins())
        ::SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

}  // namespace parlix
