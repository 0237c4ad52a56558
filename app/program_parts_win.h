// The parts of the program that need the main window, in the order they are built: each is
// handed what it uses. Members are built top to bottom; a part may keep a reference to one
// further down as long as it does not use it while being built.
#pragma once

#include "app/program_win.h"
#include "app/strip_look_win.h"
#include "ui/tab_strip_skin_win.h"

namespace parlix {

struct Program::Parts {
    Parts(MainWindow& view, const Settings& settings, const std::wstring& captionSuffix, ClientCalls& calls,
          Win32WindowTree& tree, const ClientDiscovery& discovery, DispatchHost& dispatchHost,
          TabUiHost& uiHost, TabSwitchHost& switchHost)
        : dispatch(dispatchHost),
          commands(uiHost),
          drag(uiHost, commands),
          nodeResources(view.PicWin()),
          registry(nodeResources),
          tabs(view, registry, captionSuffix, switchHost, drag, commands),
          look(settings, registry),
          skin(view.Strip(), look),
          state(view, settings, dispatch, tabs, commands, tray, focus),
          tray(state, tmrKillTip),
          attacher(tree, registry, calls, dispatch, tabs),
          capture(view, registry, attacher, calls, settings, tray, state, tabs, detector),
          detacher(registry, calls, dispatch, tabs, tabs.Link(), [this](HWND popped) { capture.Popped(popped); }),
          upkeep(view.Hwnd(), view.PicWin(), tabs.Link(), calls, detacher, tabs, dispatch.SizingFlag(), state.State(),
                 settings, state),
          focus(view.Hwnd(), view.PicWin(), registry, tabs.Link(), calls, state.State(), settings, state),
          poll(registry, calls, settings, state),
          detector(tree, [&discovery] { return discovery.ImProcessIds(); }, capture) {}

    MessageDispatch dispatch;
    TabCommands commands;
    TabDrag drag;
    GdiNodeResourceFactory nodeResources;
    TabRegistry registry;
    TabView tabs;
    SettingsStripLook look;
    TabStripSkin skin;
    WindowState state;
    Tray tray;
    TabAttacher attacher;
    CaptureHost capture;
    TabDetacher detacher;
    WindowUpkeep upkeep;
    ChatFocus focus;
    MessagePoll poll;
    ChatDetector detector;
};

}  // namespace parlix
