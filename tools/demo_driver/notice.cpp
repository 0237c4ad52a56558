#include "tools/demo_driver/notice.h"

#include "base/com_win.h"
#include "contract/nexcor.h"
#include "tests/support/windows.h"

#include <windows.h>

#include <cstdint>

using namespace parlix;
using namespace parlix::test;

namespace demo {

int ShowNoticeAt(int position, int direction, const std::wstring& png) {
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(L"set.ini", MAX_PATH, full, nullptr);
    const std::wstring ini = full;
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Position", std::to_wstring(position).c_str(), ini.c_str());
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Direction", std::to_wstring(direction).c_str(), ini.c_str());
    int result = 1;
    if (SUCCEEDED(::CoInitialize(nullptr))) {
        {
            CLSID clsid{};
            ComPtr<_Parlix_Plugin> plugin;
            if (SUCCEEDED(::CLSIDFromProgID(L"MurmeloProject.Murmelo", &clsid)))
                ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Plugin, plugin.put_void());
            _Parlix_Core* none = nullptr;
            if (plugin && SUCCEEDED(plugin->OnConnection(&none))) {
                ScopedBstr title(L"张三的新消息:"),
                    text(L"张三 10:05:12\r\n明天的会改到下午三点了，地点还在三楼会议室。记得带上季度报表和项目进度表。");
                plugin->ShowMessage(6000, title.get(), text.get());
                const HWND notice = WaitForWindow({.className = L"Murmelo.frmMain", .pid = ::GetCurrentProcessId()}, 5s);
                // In place when it has not moved for a while (the slide takes 20 ticks).
                RECT last{};
                int still = 0;
                const bool placed = notice && WaitFor(
                    [&] {
                        const RECT now = ReadFacts(notice).rect;
                        still = ::EqualRect(&now, &last) ? still + 1 : 0;
                        last = now;
                        return still >= 30;
                    },
                    10s);
                if (placed && SaveScreenshot(png)) result = 0;
                plugin->OnDisconnection();
            }
        }
        ::CoUninitialize();
    }
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Position", nullptr, ini.c_str());
    ::WritePrivateProfileStringW(L"Murmelo", L"msg_Direction", nullptr, ini.c_str());
    return result;
}

int ShowNoticeSettings(const std::wstring& png) {
    int result = 1;
    if (FAILED(::CoInitialize(nullptr))) return result;
    {
        CLSID clsid{};
        ComPtr<_Parlix_Plugin> plugin;
        if (SUCCEEDED(::CLSIDFromProgID(L"MurmeloProject.Murmelo", &clsid)))
            ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Plugin, plugin.put_void());
        _Parlix_Core* none = nullptr;
        ComPtr<IDispatch> page;
        if (plugin && SUCCEEDED(plugin->OnConnection(&none)) && SUCCEEDED(plugin->GetProperty(page.put())) && page) {
            DISPID id = 0;
            auto* name = const_cast<LPOLESTR>(L"hWnd");
            DISPPARAMS none2{nullptr, nullptr, 0, 0};
            ScopedVariant hwnd;
            if (SUCCEEDED(page->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) &&
                SUCCEEDED(page->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none2, hwnd.get(),
                                       nullptr, nullptr))) {
                const HWND child = reinterpret_cast<HWND>(static_cast<std::intptr_t>(hwnd->lVal));
                RECT r{0, 0, 380, 171};
                ::AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
                const HWND frame = ::CreateWindowExW(0, L"#32770", L"插件设置 - Murmelo", WS_OVERLAPPEDWINDOW, 760, 420,
                                                     r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                                                     nullptr);
                ::SetParent(child, frame);
                ::SetWindowPos(child, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
                ::ShowWindow(frame, SW_SHOW);
                ::UpdateWindow(frame);
                WaitFor([] { return false; }, 800ms);  // let the page paint
                if (SaveScreenshot(png, frame)) result = 0;
                ::DestroyWindow(frame);
            }
        }
        if (plugin) plugin->OnDisconnection();
    }
    ::CoUninitialize();
    return result;
}

}  // namespace demo
