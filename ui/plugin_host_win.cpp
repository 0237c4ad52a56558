#include "ui/plugin_host_win.h"

#include "contract/automation_object.h"
#include "contract/im_window_object.h"

namespace parlix {

namespace {

constexpr long kTwips = 15;

// A tab's record as plugins see it: the registry node's own record, read and written in place.
// Once the tab is gone it reads as a fresh record and takes no writes.
class TabRecord final : public com::ImWindowObject {
public:
    explicit TabRecord(LinkRef node) noexcept : node_(std::move(node)) {}

private:
    ~TabRecord() override = default;
    IMWindow* Record() noexcept override {
        // The registry keeps the node alive for the length of this call (one thread, no re-entry).
        const std::shared_ptr<clsLink> node = node_.lock();
        return node ? &node->window : nullptr;
    }
    LinkRef node_;
};

long HandleLong(HWND window) { return static_cast<long>(reinterpret_cast<std::intptr_t>(window)); }

RECT OuterRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

}  // namespace

ComPtr<IDispatch> CreateMainFormObject(std::shared_ptr<MainFormSource> source) {
    using com::AutomationMember;
    using com::SetLong;
    const auto tabMember = [source](auto read) {
        return [source, read](VARIANT& v) -> HRESULT {
            if (!source->tabs) return E_UNEXPECTED;
            return read(*source->tabs, v);
        };
    };
    const auto header = tabMember([](const TabControl& t, VARIANT& v) { return SetLong(v, t.GetHeaderHeight()); });
    ComPtr<IDispatch> tabObject = com::AutomationObject::Create({
        {L"Bottom", tabMember([](const TabControl& t, VARIANT& v) { return com::SetBool(v, t.Bottom()); }), {}, {}},
        {L"GetHeaderHeight", header, {},
         [header](std::span<const VARIANT> args, VARIANT& v) { return args.empty() ? header(v) : DISP_E_BADPARAMCOUNT; }},
        {L"hwnd", tabMember([](const TabControl& t, VARIANT& v) { return SetLong(v, HandleLong(t.hwnd())); }), {}, {}},
    });
    const HWND main = source->main;
    return com::AutomationObject::Create({
        {L"hwnd", [main](VARIANT& v) { return SetLong(v, HandleLong(main)); }, {}, {}},
        {L"ScaleWidth",
         [main](VARIANT& v) {
             RECT c{};
             ::GetClientRect(main, &c);
             return SetLong(v, c.right - c.left);
         },
         {}, {}},
        {L"WindowState", [main](VARIANT& v) { return SetLong(v, ::IsIconic(main) ? 1 : ::IsZoomed(main) ? 2 : 0); },
         {}, {}},
        {L"Left", [main](VARIANT& v) { return SetLong(v, OuterRect(main).left * kTwips); }, {}, {}},
        {L"Top", [main](VARIANT& v) { return SetLong(v, OuterRect(main).top * kTwips); }, {}, {}},
        {L"Height",
         [main](VARIANT& v) {
             const RECT r = OuterRect(main);
             return SetLong(v, (r.bottom - r.top) * kTwips);
         },
         {}, {}},
        {L"btnTab", [tabObject](VARIANT& v) { return com::SetObject(v, tabObject); }, {}, {}},
    });
}

PluginHost::PluginHost(std::wstring programDir)
    : programDir_(std::move(programDir)), plugins_(programDir_) {}

PluginHost::~PluginHost() { Unload(); }

void PluginHost::RegisterCore() { parlix::RegisterCore(programDir_); }

void PluginHost::CreateCore(HWND main, const TabControl& btnTab) {
    try {
        if (FAILED(::CoCreateInstance(CLSID_Parlix_Core, nullptr, CLSCTX_INPROC_SERVER, IID__Parlix_Core,
                                      plgCore.put_void())))
            return;
        mainForm_ = std::make_shared<MainFormSource>(MainFormSource{main, &btnTab});
        plgCore->putref_MainForm(CreateMainFormObject(mainForm_).get());
        plugins_.SetCore(plgCore);
    } catch (...) {
        // Out of memory building MainForm: the core stays without it.
    }
}

void PluginHost::ConnectPlugins(bool noticeEnabled) {
    plugins_.Manager().ConnectPlugins();
    RefreshNoticePlugin(noticeEnabled);
}

void PluginHost::RefreshNoticePlugin(bool noticeEnabled) {
    notice_ = noticeEnabled ? ComObjectOf(plugins_.Manager().FindNode(kNoticePluginName)) : nullptr;
}

void PluginHost::TabSelected(const LinkRef& node) {
    if (!plgCore) return;
    try {
        if (!node) {
            plgCore->putref_CurrentWin(nullptr);
            return;
        }
        const ComPtr<_IMWindow> record = ComPtr<_IMWindow>::Adopt(new TabRecord(node));
        plgCore->putref_CurrentWin(record.get());
    } catch (...) {
        // Out of memory: plugins keep the record they had.
    }
}

NoticePlugin PluginHost::Notice() {
    if (!notice_) return {};
    ComPtr<_Parlix_Plugin> plugin = notice_;
    return [plugin](std::int32_t timeMs, const std::wstring& title, const std::wstring& message) {
        ScopedBstr t(title), m(message);
        ThrowIfFailed(plugin->ShowMessage(timeMs, t.get(), m.get()), plugin.get(), IID__Parlix_Plugin);
    };
}

void PluginHost::Unload() noexcept {
    if (unloaded_) return;
    unloaded_ = true;
    // Every step runs whatever the others do. The notice plugin's failure is ignored here;
    // DisconnectPlugins reports its own.
    try {
        if (notice_) notice_->OnDisconnection();
    } catch (...) {
    }
    notice_.reset();
    if (plgCore) {
        plgCore->putref_CurrentWin(nullptr);
        plgCore->putref_MainForm(nullptr);
    }
    plgCore.reset();
    plugins_.SetCore(nullptr);
    if (mainForm_) mainForm_->tabs = nullptr;
    try {
        plugins_.Manager().DisconnectPlugins();
    } catch (...) {
    }
}

}  // namespace parlix
