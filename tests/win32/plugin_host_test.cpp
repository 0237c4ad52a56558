// The main window's plugin host under Wine: MainForm read by name from C++ and from JScript (the
// system's script control), and CurrentWin following the selected tab's record. (The calling
// order of start-up and shut-down: e2e plugins_test.)
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"
#include "ui/plugin_host_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace parlix::test {
namespace {

class NoResources final : public NodeResources {
public:
    HandleValue IconDc() const noexcept override { return 0; }
    HandleValue IconBitmap() const noexcept override { return 0; }
    void AdoptProcess(HandleValue) noexcept override {}
    HandleValue Process() const noexcept override { return 0; }
};
class NoResourceFactory final : public NodeResourceFactory {
public:
    std::unique_ptr<NodeResources> Create() override { return std::make_unique<NoResources>(); }
};

// A member read by name, converted to text ("True"/"False" for Booleans).
std::wstring ReadByName(IDispatch* object, const wchar_t* name, WORD flags = DISPATCH_PROPERTYGET) {
    DISPID id = 0;
    auto* n = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return L"<unknown name>";
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant v;
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, v.get(), nullptr, nullptr)))
        return L"<failed>";
    if (v->vt == VT_DISPATCH) return L"<object>";
    if (FAILED(::VariantChangeType(v.get(), v.get(), VARIANT_ALPHABOOL, VT_BSTR))) return L"<unconvertible>";
    return std::wstring(v->bstrVal, ::SysStringLen(v->bstrVal));
}

ComPtr<IDispatch> ObjectByName(IDispatch* object, const wchar_t* name) {
    DISPID id = 0;
    auto* n = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return nullptr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant v;
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.get(), nullptr,
                              nullptr)) ||
        v->vt != VT_DISPATCH)
        return nullptr;
    return ComPtr<IDispatch>(v->pdispVal);
}

HRESULT CallByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr) {
    DISPID id = 0;
    auto* n = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

VARIANT Text(BSTR s) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = s;
    return v;
}

// Evaluates a JScript expression with MainForm as a named object, through the system's script
// control (late binding by name, as a scripted plugin does it).
std::wstring EvalJScript(IDispatch* mainForm, const wchar_t* expression) {
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(L"MSScriptControl.ScriptControl", &clsid))) return L"<no script control>";
    ComPtr<IDispatch> sc;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, sc.put_void())))
        return L"<no script control>";
    ScopedBstr language(L"JScript"), name(L"MainForm"), code(expression);
    VARIANT lang = Text(language.get());
    DISPID put = DISPID_PROPERTYPUT, id = 0;
    auto* n = const_cast<LPOLESTR>(L"Language");
    sc->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    DISPPARAMS p{&lang, &put, 1, 1};
    if (FAILED(sc->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr)))
        return L"<no language>";
    VARIANT object{};
    object.vt = VT_DISPATCH;
    object.pdispVal = mainForm;
    if (FAILED(CallByName(sc.get(), L"AddObject", {Text(name.get()), object}))) return L"<AddObject failed>";
    ScopedVariant result;
    if (FAILED(CallByName(sc.get(), L"Eval", {Text(code.get())}, result.get()))) return L"<Eval failed>";
    if (FAILED(::VariantChangeType(result.get(), result.get(), VARIANT_ALPHABOOL, VT_BSTR))) return L"<unconvertible>";
    return std::wstring(result->bstrVal, ::SysStringLen(result->bstrVal));
}

class PluginHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Regsvr32(BinDir() / L"Nexcor.dll"), 0);
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PluginHostTest.Main";
        ::RegisterClassW(&wc);
        main.reset(::CreateWindowExW(0, wc.lpszClassName, L"main", WS_OVERLAPPEDWINDOW, 40, 60, 500, 400, nullptr,
                                     nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(main);
        ::ShowWindow(main.get(), SW_SHOWNORMAL);
        ASSERT_TRUE(btnTab.Create(main.get(), 0, 0, 480, 360));
        btnTab.AddItem(L"张三");
    }

    ComApartment apartment;
    TempDir dir{L"pluginhost"};
    ScopedOwnWindow main;
    TabControl btnTab;
};

TEST_F(PluginHostTest, MainFormAnswersByNameInPixelsAndTwipsAsTheContractSays) {
    PluginHost host(dir.Path().wstring());
    host.CreateCore(main.get(), btnTab);
    ASSERT_TRUE(host.Core());
    ComPtr<IDispatch> form;
    ASSERT_EQ(host.Core()->get_MainForm(form.put()), S_OK);
    ASSERT_TRUE(form);
    RECT outer, client;
    ::GetWindowRect(main.get(), &outer);
    ::GetClientRect(main.get(), &client);
    btnTab.Bottom(true);
    const struct {
        const wchar_t* name;
        std::wstring expected;
    } members[] = {
        {L"hwnd", std::to_wstring(reinterpret_cast<std::intptr_t>(main.get()))},
        {L"ScaleWidth", std::to_wstring(client.right)},
        {L"WindowState", L"0"},
        {L"Left", std::to_wstring(outer.left * 15)},
        {L"top", std::to_wstring(outer.top * 15)},  // names are found in any letter case
        {L"Height", std::to_wstring((outer.bottom - outer.top) * 15)},
        {L"btnTab", L"<object>"},
        {L"Width", L"<unknown name>"},
    };
    for (const auto& m : members) EXPECT_EQ(ReadByName(form.get(), m.name), m.expected) << std::wstring(m.name);
    const ComPtr<IDispatch> tabs = ObjectByName(form.get(), L"btnTab");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(ReadByName(tabs.get(), L"Bottom"), L"True");
    EXPECT_GT(btnTab.GetHeaderHeight(), 0);
    EXPECT_EQ(ReadByName(tabs.get(), L"GetHeaderHeight", DISPATCH_METHOD), std::to_wstring(btnTab.GetHeaderHeight()));

    // The same through a script engine.
    EXPECT_EQ(EvalJScript(form.get(), L"MainForm.ScaleWidth + ',' + MainForm.btnTab.GetHeaderHeight() + ',' + "
                                      L"MainForm.btnTab.Bottom + ',' + MainForm.Height"),
              std::to_wstring(client.right) + L"," + std::to_wstring(btnTab.GetHeaderHeight()) + L",true," +
                  std::to_wstring((outer.bottom - outer.top) * 15));

    ::ShowWindow(main.get(), SW_MAXIMIZE);
    EXPECT_EQ(ReadByName(form.get(), L"WindowState"), L"2");
    ::ShowWindow(main.get(), SW_MINIMIZE);
    EXPECT_EQ(ReadByName(form.get(), L"WindowState"), L"1");

    // A plugin that keeps MainForm past the host's end reads no dead tab control.
    host.Unload();
    EXPECT_EQ(ReadByName(tabs.get(), L"GetHeaderHeight", DISPATCH_METHOD), L"<failed>");
}

TEST_F(PluginHostTest, CurrentWinIsTheSelectedTabsOwnRecordUntilTheTabGoes) {
    PluginHost host(dir.Path().wstring());
    host.CreateCore(main.get(), btnTab);
    NoResourceFactory factory;
    TabRegistry registry(factory);
    auto node = registry.CreateNode();
    node->window.SayHwnd = 4242;
    node->window.Caption = L"张三";
    ASSERT_TRUE(registry.InsertNode(node));

    ComPtr<_IMWindow> current;
    ASSERT_EQ(host.Core()->get_CurrentWin(current.put()), S_OK);
    EXPECT_FALSE(current);  // before any tab was selected

    host.TabSelected(LinkRef(node));
    ASSERT_EQ(host.Core()->get_CurrentWin(current.put()), S_OK);
    ASSERT_TRUE(current);
    LONG say = 0;
    current->get_SayHwnd(&say);
    EXPECT_EQ(say, 4242);
    node->window.MsgNum = 3;  // the host's later changes are what the plugin reads
    LONG unread = 0;
    current->get_MsgNum(&unread);
    EXPECT_EQ(unread, 3);
    ScopedBstr caption;
    current->get_Caption(caption.put());
    EXPECT_EQ(caption.str(), L"张三");
    current->put_Locked(VARIANT_TRUE);
    EXPECT_TRUE(node->window.Locked);

    registry.DelNode(1);
    current->get_SayHwnd(&say);
    EXPECT_EQ(say, 0);  // the tab is gone: a fresh record

    host.TabSelected(LinkRef());
    ASSERT_EQ(host.Core()->get_CurrentWin(current.put()), S_OK);
    EXPECT_FALSE(current);
}

}  // namespace
}  // namespace parlix::test
