// Nexcor.dll: the contract library's own classes. The type library is this module's resource
// TYPELIB 1 and is registered with the classes.
#include "contract/com_server.h"
#include "contract/core_object.h"
#include "contract/im_window_object.h"
#include "contract/plugin_base.h"

namespace parlix::com {

namespace {
// The library's Parlix_Plugin: the contract's defaults, nothing more.
class DefaultPlugin final : public PluginBase {};
}  // namespace

const ServerInfo& ThisServer() {
    static const ClassEntry classes[] = {
        {&CLSID_Parlix_Plugin, L"Parlix_Nexcor.Parlix_Plugin", L"Parlix_Nexcor.Parlix_Plugin",
         &CreateInstance<DefaultPlugin>},
        {&CLSID_Parlix_Core, L"Parlix_Nexcor.Parlix_Core", L"Parlix_Nexcor.Parlix_Core", &CreateInstance<CoreObject>},
        {&CLSID_IMWindow, L"Parlix_Nexcor.IMWindow", L"Parlix_Nexcor.IMWindow", &CreateInstance<OwnImWindow>},
    };
    static const ServerInfo info{classes, true};
    return info;
}

}  // namespace parlix::com
