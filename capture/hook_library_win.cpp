#include "capture/hook_library_win.h"

#include "base/window_text_win.h"

namespace parlix {

namespace {
template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

bool HookLibrary::Load() {
    if (module_) return true;
    const std::wstring path = ModuleDirectory() + L"\\Parlix.dll";
    ScopedModule module(::LoadLibraryW(path.c_str()));
    if (!module) return false;
    initHook_ = Export<InitHookFn>(module.get(), "InitHook");
    initHookProc_ = Export<InitHookProcFn>(module.get(), "InitHookProc");
    endHook_ = Export<EndHookFn>(module.get(), "EndHook");
    enableMouseGesture_ = Export<EnableMouseGestureFn>(module.get(), "EnableMouseGesture");
    if (!initHook_ || !initHookProc_ || !endHook_ || !enableMouseGesture_) {
        initHook_ = nullptr;
        initHookProc_ = nullptr;
        endHook_ = nullptr;
        enableMouseGesture_ = nullptr;
        return false;
    }
    module_ = std::move(module);
    return true;
}

HHOOK HookLibrary::InitHook(HWND notifyWindow, DWORD threadId) const {
    return initHook_ ? initHook_(notifyWindow, threadId) : nullptr;
}

HHOOK HookLibrary::InitHookProc(DWORD threadId) const {
    return initHookProc_ ? initHookProc_(threadId) : nullptr;
}

void HookLibrary::EndHook(HHOOK hook) const {
    if (endHook_ && hook) endHook_(hook);
}

void HookLibrary::EnableMouseGesture(bool on) const {
    if (enableMouseGesture_) enableMouseGesture_(on ? TRUE : FALSE);
}

}  // namespace parlix
