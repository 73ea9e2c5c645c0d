#include "fake/fake_view.h"

namespace kelvorin::fake {

FakeMainFrmView::FakeMainFrmView(FakeDesktop& desktop)
    : desktop_(desktop),
      handle_(desktop.ReserveHandle()),
      icon_(desktop.CreateIcon(Image(32, 32, Rgb(0, 96, 192)))) {}

void FakeMainFrmView::Record(const std::string& name, std::vector<std::string> args) {
    desktop_.Log().Add(Call{"View." + name, std::move(args)});
}

void FakeMainFrmView::AddControlWindow(WindowHandle control) {
    desktop_.AddWindow({.handle = control,
                        .className = "KelvorinControl",
                        .parent = handle_,
                        .style = kWsChild,
                        .processId = desktop_.CurrentProcessId()});
}

void FakeMainFrmView::PlaceOnDesktop() {
    // A fixed single border with caption, system menu and minimise box,
    // 10890 x 4635 twips at 15 twips per pixel.
    desktop_.AddWindow({.handle = handle_,
                        .title = MainFrm::kCaption,
                        .className = "KelvorinMainFrm",
                        .style = 0x00CA0000,
                        .visible = shown_,
                        .processId = desktop_.CurrentProcessId(),
                        .rect = {100, 100, 100 + 726, 100 + 309}});
    placed_ = true;
    for (const auto& [id, control] : controls_) AddControlWindow(control);
}

WindowHandle FakeMainFrmView::Handle() {
    Record("Handle");
    return handle_;
}

WindowHandle FakeMainFrmView::ControlHandle(int id) {
    Record("ControlHandle", {Arg(id)});
    auto it = controls_.find(id);
    if (it != controls_.end()) return it->second;
    WindowHandle control = desktop_.ReserveHandle();
    controls_[id] = control;
    if (placed_) AddControlWindow(control);
    return control;
}

int FakeMainFrmView::ClientHeightTwips() {
    Record("ClientHeightTwips");
    return clientHeightTwips_;
}

void FakeMainFrmView::GrowHeightTwips(int deltaTwips) {
    Record("GrowHeightTwips", {Arg(deltaTwips)});
    clientHeightTwips_ += deltaTwips;
}

void FakeMainFrmView::Show() {
    Record("Show");
    shown_ = true;
    if (placed_) desktop_.Window(handle_).visible = true;
}

void FakeMainFrmView::Hide() {
    Record("Hide");
    shown_ = false;
    if (placed_) desktop_.Window(handle_).visible = false;
}

bool FakeMainFrmView::IsVisible() {
    Record("IsVisible");
    return shown_;
}

void FakeMainFrmView::Unload() {
    Record("Unload");
    if (onUnload) onUnload();
    unloaded_ = true;
    shown_ = false;
    if (placed_) desktop_.DestroyWindow(handle_);
}

void FakeMainFrmView::ShowPopupMenu(uint32_t flags) {
    Record("ShowPopupMenu", {Arg(flags)});
    popupMenus_.push_back(flags);
}

IconHandle FakeMainFrmView::WindowIcon() {
    Record("WindowIcon");
    return icon_;
}

void FakeMainFrmView::ShowIconGetterModal(const std::string& path) {
    Record("ShowIconGetterModal", {Arg(path)});
    iconGetterPaths_.push_back(path);
    if (onIconGetterModal) onIconGetterModal(path);
}

void FakeMainFrmView::UnloadIconGetter() {
    Record("UnloadIconGetter");
}

void FakeMainFrmView::SetFinderDragging(bool dragging) {
    Record("SetFinderDragging", {Arg(dragging)});
    finderDragging_ = dragging;
}

}  // namespace kelvorin::fake
