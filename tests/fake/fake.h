// The in-memory platform for the unit tests: FakeDesktop (every platform
// interface), FakeSurface (its drawing surfaces), FakeMainFrmView (the main
// window as the logic sees it) and the call log they share.
//
//   fake::FakeDesktop desktop;
//   fake::FakeMainFrmView view(desktop);
//   Platform platform = desktop.platform();
//   MainFrm form(platform, view);
//   WindowHandle notepad = desktop.AddWindow({.title = "Untitled - Notepad", .processId = 7});
//   desktop.Fail("EnumWindows");
//   form.PRefreshBtn_Click();
//   desktop.Log().Count("MessageBox");  // 1
#pragma once

#include "fake/call_log.h"
#include "fake/fake_desktop.h"
#include "fake/fake_surface.h"
#include "fake/fake_view.h"
