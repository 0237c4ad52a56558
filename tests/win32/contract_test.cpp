// Nexcor.dll under Wine: registration with the real regsvr32 (machine-wide and per user),
// creation by ProgID, the identity and help strings of the type library, members by name from
// C++ and from JScript through cscript, the events of the host object, and the module count.
#include "base/com_win.h"
#include "base/scoped_win.h"
#include "contract/com_server.h"
#include "contract/nexcor.h"
#include "tests/support/plugin_files.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <fstream>
#include <string>
#include <vector>

// This program links the server code for RegisterClasses; it serves no classes of its own.
const parlix::com::ServerInfo& parlix::com::ThisServer() {
    static const ServerInfo none{};
    return none;
}

namespace parlix::test {
namespace {

std::filesystem::path Nexcor() { return BinDir() / L"Nexcor.dll"; }

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    ScopedRegKey key(raw);
    return true;
}

std::wstring DefaultValue(HKEY root, const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
    CLSID clsid;
    ComPtr<IDispatch> object;
    if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void());
    return object;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    auto* n = const_cast<LPOLESTR>(name);
    object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

HRESULT PutByName(IDispatch* object, const wchar_t* name, VARIANT value) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                          nullptr, nullptr);
}

std::wstring GetTextByName(IDispatch* object, const wchar_t* name) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ScopedVariant v;
    if (FAILED(object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.get(),
                              nullptr, nullptr)))
        return L"<failed>";
    if (FAILED(::VariantChangeType(v.get(), v.get(), VARIANT_ALPHABOOL, VT_BSTR))) return L"<unconvertible>";
    return std::wstring(v->bstrVal, ::SysStringLen(v->bstrVal));
}

class Contract : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(Regsvr32(Nexcor()), 0); }
    ComApartment apartment;
};

TEST_F(Contract, Regsvr32RegistersEveryClassAndTheTypeLibraryAndUnregistersThem) {
    const std::wstring lib = L"TypeLib\\{F6241208-88C7-4C5D-920C-A60C1F75447A}\\1.0";
    const struct {
        const wchar_t* progId;
        const wchar_t* clsid;
    } classes[] = {{L"Parlix_Nexcor.IMWindow", L"{9246EB90-0954-4229-AB4D-BD9904C1ED39}"},
                   {L"Parlix_Nexcor.Parlix_Core", L"{81BA98E8-6B6B-4498-852D-C89B37275335}"},
                   {L"Parlix_Nexcor.Parlix_Plugin", L"{9F5615F8-2F1C-469E-8785-2F669A23039E}"}};
    for (const auto& c : classes) {
        EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, std::wstring(c.progId) + L"\\CLSID"), c.clsid);
        const std::wstring server = DefaultValue(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + c.clsid + L"\\InprocServer32");
        EXPECT_TRUE(std::filesystem::equivalent(server, Nexcor())) << server;
    }
    EXPECT_TRUE(std::filesystem::equivalent(DefaultValue(HKEY_CLASSES_ROOT, lib + (sizeof(void*) == 8 ? L"\\409\\win64" : L"\\409\\win32")), Nexcor()));
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"Interface\\{B7BAFB90-1CEE-44E2-95B4-6349A7AA7E4D}"), L"_Parlix_Plugin");

    ASSERT_EQ(Regsvr32(Nexcor(), true), 0);
    for (const auto& c : classes) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, c.progId));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + c.clsid));
    }
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, lib));
    EXPECT_FALSE(CreateByProgId(L"Parlix_Nexcor.IMWindow"));
    ASSERT_EQ(Regsvr32(Nexcor()), 0);
    EXPECT_TRUE(CreateByProgId(L"Parlix_Nexcor.IMWindow"));
}

TEST_F(Contract, PerUserRegistrationWritesTheSameClassesUnderTheUsersClasses) {
    // What DllRegisterServer writes under HKCU when the machine's classes are read-only. (Wine's
    // COM reads only the machine's classes, so the creation itself is checked on Windows.)
    const CLSID alpha = {0x5e1d0001u, 0x7a11, 0x4c0d, {0x9b, 0x1e, 0x52, 0x7e, 0x57, 0x00, 0x00, 0x01}};
    const com::ClassEntry entry{&alpha, L"AlphaProject.Alpha", L"Alpha", nullptr};
    const com::ServerInfo info{{&entry, 1}, true};
    const std::wstring dll = L"C:\\Parlix\\Plugins\\Alpha.dll";
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring clsid = classes + L"CLSID\\{5E1D0001-7A11-4C0D-9B1E-527E57000001}";
    ASSERT_EQ(com::RegisterClasses(info, dll, HKEY_CURRENT_USER), S_OK);
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, classes + L"AlphaProject.Alpha\\CLSID"),
              L"{5E1D0001-7A11-4C0D-9B1E-527E57000001}");
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, clsid + L"\\InprocServer32"), dll);
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, clsid + L"\\ProgID"), L"AlphaProject.Alpha");
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, clsid + L"\\TypeLib"), L"{F6241208-88C7-4C5D-920C-A60C1F75447A}");
    wchar_t model[32] = {};
    DWORD size = sizeof model;
    ::RegGetValueW(HKEY_CURRENT_USER, (clsid + L"\\InprocServer32").c_str(), L"ThreadingModel", RRF_RT_REG_SZ,
                   nullptr, model, &size);
    EXPECT_STREQ(model, L"Apartment");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, clsid));
    EXPECT_EQ(com::UnregisterClasses(info, HKEY_CURRENT_USER), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, classes + L"AlphaProject.Alpha"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, clsid));
    EXPECT_EQ(com::UnregisterClasses(info, HKEY_CURRENT_USER), S_OK);  // nothing left is no error
}

TEST_F(Contract, FreshRecordIsEmptyAndEveryMemberRoundTripsByName) {
    const ComPtr<IDispatch> w = CreateByProgId(L"Parlix_Nexcor.IMWindow");
    ASSERT_TRUE(w);
    struct Member {
        const wchar_t* name;
        DISPID id;
        const wchar_t* fresh;
        VARIANT value;
        const wchar_t* read;
    };
    VARIANT i4{};
    i4.vt = VT_I4;
    i4.lVal = -123456;
    VARIANT yes{};
    yes.vt = VT_BOOL;
    yes.boolVal = VARIANT_TRUE;
    VARIANT text{};
    text.vt = VT_BSTR;
    ScopedBstr caption(L"与 张三 交谈中");
    text.bstrVal = caption.get();
    VARIANT eight{};
    eight.vt = VT_I4;
    eight.lVal = 8;
    const Member members[] = {
        {L"hWnd", 0x40030000, L"0", i4, L"-123456"},      {L"ChatHwnd", 0x40030001, L"0", i4, L"-123456"},
        {L"SayHwnd", 0x40030002, L"0", i4, L"-123456"},   {L"SendHwnd", 0x40030003, L"0", i4, L"-123456"},
        {L"IsGroup", 0x40030004, L"False", yes, L"True"}, {L"Version", 0x40030005, L"0", eight, L"8"},
        {L"Title", 0x40030006, L"", text, L"与 张三 交谈中"}, {L"Caption", 0x40030007, L"", text, L"与 张三 交谈中"},
        {L"Locked", 0x40030008, L"False", yes, L"True"},  {L"TabColor", 0x40030009, L"0", i4, L"-123456"},
        {L"X", 0x4003000A, L"0", i4, L"-123456"},         {L"Y", 0x4003000B, L"0", i4, L"-123456"},
        {L"W", 0x4003000C, L"0", i4, L"-123456"},         {L"H", 0x4003000D, L"0", i4, L"-123456"},
        {L"OrgW", 0x4003000E, L"0", i4, L"-123456"},      {L"OrgH", 0x4003000F, L"0", i4, L"-123456"},
        {L"MsgNum", 0x40030010, L"0", i4, L"-123456"},    {L"hDC", 0x40030011, L"0", i4, L"-123456"},
        {L"hBMP", 0x40030012, L"0", i4, L"-123456"},      {L"Msg", 0x40030013, L"0", i4, L"-123456"},
        {L"WinLong", 0x40030014, L"0", i4, L"-123456"},   {L"ExStyle", 0x40030015, L"0", i4, L"-123456"},
    };
    for (const Member& m : members) {
        SCOPED_TRACE(testing::Message() << "member " << static_cast<int>(m.id - 0x40030000));
        EXPECT_EQ(IdOf(w.get(), m.name), m.id);
        EXPECT_EQ(GetTextByName(w.get(), m.name), m.fresh);
        EXPECT_EQ(PutByName(w.get(), m.name, m.value), S_OK);
        EXPECT_EQ(GetTextByName(w.get(), m.name), m.read);
    }
}

TEST_F(Contract, TypeLibraryCarriesTheContractsIdentityFlagsAndHelpStrings) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_Parlix_Nexcor, 1, 0, 0x409, lib.put()), S_OK);
    ScopedBstr libName;
    lib->GetDocumentation(-1, libName.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(libName.str(), L"Parlix_Nexcor");

    ComPtr<ITypeInfo> window;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID__IMWindow, window.put()), S_OK);
    const struct {
        const wchar_t* name;
        const wchar_t* help;
        bool hidden;
    } helps[] = {{L"hWnd", L"窗口句柄", false},          {L"Version", L"窗口所属IM版本呢", false},
                 {L"X", L"窗口原Left", false},            {L"MsgNum", L"未读消息数量", false},
                 {L"TabColor", L"", false},               {L"hDC", L"", true},
                 {L"Msg", L"", true}};
    for (const auto& h : helps) {
        SCOPED_TRACE(testing::Message() << "member " << std::string(h.name, h.name + wcslen(h.name)));
        MEMBERID id = 0;
        auto* n = const_cast<LPOLESTR>(h.name);
        ASSERT_EQ(window->GetIDsOfNames(&n, 1, &id), S_OK);
        ScopedBstr doc;
        window->GetDocumentation(id, nullptr, doc.put(), nullptr, nullptr);
        EXPECT_EQ(doc.str(), h.help);
        // The get entry of the member: its flags say whether it is hidden.
        TYPEATTR* attr = nullptr;
        window->GetTypeAttr(&attr);
        bool hidden = false, found = false;
        for (UINT i = 0; i < attr->cFuncs && !found; ++i) {
            FUNCDESC* f = nullptr;
            window->GetFuncDesc(i, &f);
            if (f->memid == id && f->invkind == INVOKE_PROPERTYGET) {
                found = true;
                hidden = (f->wFuncFlags & FUNCFLAG_FHIDDEN) != 0;
            }
            window->ReleaseFuncDesc(f);
        }
        window->ReleaseTypeAttr(attr);
        EXPECT_TRUE(found);
        EXPECT_EQ(hidden, h.hidden);
    }

    // The members of the plugin and host interfaces under their DISPIDs, in entry order.
    const struct {
        const IID* iid;
        std::vector<std::pair<const wchar_t*, MEMBERID>> members;
    } interfaces[] = {
        {&IID__Parlix_Plugin,
         {{L"ShowMessage", 0x60030004}, {L"OnConnection", 0x60030005}, {L"OnDisconnection", 0x60030006},
          {L"GetProperty", 0x60030007}, {L"HasProperty", 0x68030003}, {L"Version", 0x68030002},
          {L"Author", 0x68030001}, {L"Describe", 0x68030000}}},
        {&IID__Parlix_Core, {{L"CurrentWin", 0x40030000}, {L"MainForm", 0x40030001}, {L"AddMen", 0x60030000},
                             {L"Unload", 0x60030001}}},
        {&DIID___Parlix_Core, {{L"AddMenu", 1}, {L"Unload", 2}}},
    };
    for (const auto& i : interfaces) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*i.iid, info.put()), S_OK);
        for (const auto& [name, expected] : i.members) {
            MEMBERID id = 0;
            auto* n = const_cast<LPOLESTR>(name);
            EXPECT_EQ(info->GetIDsOfNames(&n, 1, &id), S_OK);
            EXPECT_EQ(id, expected);
        }
    }
    ComPtr<ITypeInfo> version;
    ASSERT_EQ(lib->GetTypeInfoOfGuid({0xD029E321, 0xCE0D, 0x4CE3, {0xAC, 0xB4, 0x10, 0x2C, 0x92, 0xD2, 0x15, 0xE1}},
                                     version.put()),
              S_OK);
    TYPEATTR* attr = nullptr;
    version->GetTypeAttr(&attr);
    EXPECT_EQ(attr->typekind, TKIND_ENUM);
    EXPECT_EQ(attr->cVars, 21);
    version->ReleaseTypeAttr(attr);
}

TEST_F(Contract, JScriptThroughCscriptCreatesARecordAndReadsAndWritesItsMembersByName) {
    TempDir dir(L"jscript");
    const std::filesystem::path script = dir.Path() / L"record.js";
    {
        std::ofstream out(script.wstring().c_str(), std::ios::binary);
        // Each check ends the script with its own number when it fails.
        out << "var w = new ActiveXObject('Parlix_Nexcor.IMWindow');\n"
               "if (w.hWnd !== 0 || w.Title !== '' || w.IsGroup !== false || w.Version !== 0) WScript.Quit(11);\n"
               "w.hWnd = 66051; w.SayHwnd = w.hWnd; w.Title = 'abc'; w.IsGroup = true; w.Version = 9;\n"
               "w.MsgNum = w.MsgNum + 2;\n"
               "if (w.hWnd !== 66051 || w.SayHwnd !== 66051) WScript.Quit(12);\n"
               "if (w.Title !== 'abc' || w.IsGroup !== true || w.Version !== 9 || w.MsgNum !== 2) WScript.Quit(13);\n"
               "var core = new ActiveXObject('Parlix_Nexcor.Parlix_Core');\n"
               "if (core.CurrentWin !== null || core.MainForm !== null) WScript.Quit(14);\n"
               "core.AddMen('menu');\n"
               "var p = new ActiveXObject('Parlix_Nexcor.Parlix_Plugin');\n"
               "if (p.Version !== '' || p.Author !== '' || p.Describe !== '' || p.HasProperty !== false) WScript.Quit(15);\n"
               "p.OnDisconnection(); p.OnDisconnection();\n"
               "WScript.Quit(0);\n";
    }
    EXPECT_EQ(RunSystemTool(L"cscript.exe", {L"//nologo", script.wstring()}), 0);
}

// A sink of the host object's events that records them and changes AddMenu's text.
class EventSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID___Parlix_Core)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        events.push_back(id);
        if (id == 1 && p->cArgs == 1 && p->rgvarg[0].vt == (VT_BSTR | VT_BYREF)) {
            seen = std::wstring(*p->rgvarg[0].pbstrVal);
            ::SysFreeString(*p->rgvarg[0].pbstrVal);
            *p->rgvarg[0].pbstrVal = ::SysAllocString(L"changed");
        }
        return S_OK;
    }
    ULONG refs = 1;
    std::vector<DISPID> events;
    std::wstring seen;
};

TEST_F(Contract, AddMenAndUnloadRaiseTheirEventsOnConnectedSinksOnly) {
    ComPtr<_Parlix_Core> core;
    ASSERT_EQ(::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core, core.put_void()),
              S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(core.As(IID_IConnectionPointContainer, container), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID___Parlix_Core, point.put()), S_OK);
    EventSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    ScopedBstr text(L"菜单");
    BSTR raw = text.detach();
    EXPECT_EQ(core->AddMen(&raw), S_OK);
    EXPECT_EQ(sink.seen, L"菜单");
    EXPECT_EQ(std::wstring(raw), L"changed");  // by reference: the handler's change reaches the caller
    ::SysFreeString(raw);
    EXPECT_EQ(core->Unload(), S_OK);
    EXPECT_EQ(sink.events, (std::vector<DISPID>{1, 2}));

    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    BSTR none = nullptr;
    EXPECT_EQ(core->AddMen(&none), S_OK);
    EXPECT_EQ(sink.events.size(), 2u);
    point.reset();
    container.reset();
    core.reset();
    EXPECT_EQ(sink.refs, 1u);  // the core let go of the sink
}

TEST_F(Contract, ModuleCanUnloadOnlyWhenNoObjectOrLockIsLeft) {
    const ScopedModule module(::LoadLibraryW(Nexcor().wstring().c_str()));
    ASSERT_TRUE(module);
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
    const auto getClass = reinterpret_cast<GetClassObjectFn>(::GetProcAddress(module.get(), "DllGetClassObject"));
    const auto canUnload = reinterpret_cast<CanUnloadFn>(::GetProcAddress(module.get(), "DllCanUnloadNow"));
    ASSERT_TRUE(getClass && canUnload);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClass(CLSID_Parlix_Plugin, IID_IClassFactory, factory.put_void()), S_OK);
    ComPtr<_Parlix_Plugin> plugin;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID__Parlix_Plugin, plugin.put_void()), S_OK);
    factory->LockServer(TRUE);
    factory.reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    plugin.reset();
    EXPECT_EQ(canUnload(), S_FALSE);  // still locked
    ASSERT_EQ(getClass(CLSID_Parlix_Plugin, IID_IClassFactory, factory.put_void()), S_OK);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(canUnload(), S_OK);
    EXPECT_EQ(getClass(IID_IUnknown, IID_IClassFactory, factory.put_void()), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace parlix::test
