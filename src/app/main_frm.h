// MainFrm: the program's main window as portable state and handlers. It owns
// the models of its controls, the selected window and the process table; its
// handlers are defined in the rooms that own each feature (catalogue/,
// adjust/, finder/, process/, shell/) and run against the Platform.
//
// Control members carry the controls' own names (ListView1, WinVisibleChk, ...)
// and handlers are Control_Event methods, so the code reads like the
// behaviour it implements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/controls.h"
#include "finder/finder_drag.h"
#include "platform/platform.h"

namespace kelvorin {

// What the logic asks of the main window itself. The Win32 view implements it;
// tests use a recording fake.
class IMainFrmView {
public:
    virtual ~IMainFrmView() = default;
    virtual WindowHandle Handle() = 0;
    virtual WindowHandle ControlHandle(int id) = 0;
    virtual int ClientHeightTwips() = 0;
    // Makes the window's outer height larger (or smaller, for a negative delta).
    virtual void GrowHeightTwips(int deltaTwips) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() = 0;
    // Destroys the main window; the program ends when it is gone.
    virtual void Unload() = 0;
    // Opens MNU_POPUP at the pointer with TrackPopupMenu flags.
    virtual void ShowPopupMenu(uint32_t flags) = 0;
    virtual IconHandle WindowIcon() = 0;
    // Opens the icon extractor modally on a path; returns when it has closed.
    virtual void ShowIconGetterModal(const std::string& path) = 0;
    virtual void UnloadIconGetter() = 0;
    // Moves the cross-hair between picFinder's picture and the drag cursor.
    virtual void SetFinderDragging(bool dragging) = 0;
};

// One process of the snapshot, as the catalogue keeps it between its stages.
struct ProcessRecord {
    uint32_t processId = 0;
    std::string exeName;
    std::string exePath;
};

class MainFrm {
public:
    MainFrm(Platform& platform, IMainFrmView& view);
    MainFrm(const MainFrm&) = delete;
    MainFrm& operator=(const MainFrm&) = delete;

    // --- public operations -------------------------------------------------
    void ItemLoad();
    void GetChkValue();
    void GetWindowData();
    void PIdGet();
    void OSHantei();
    void GetControlData();

    // --- event handlers ----------------------------------------------------
    void Form_Load();
    void Form_Unload();
    // The window's mouse-move callback; x is the position in pixels.
    void Form_MouseMove(int buttons, int x, int y);
    void PRefreshBtn_Click();
    void IMEUnShowChk_Click();
    void ListView1_ItemClick();
    void ListView1_ColumnClick(int columnIndex1Based);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void MNU_OPEN_Click();
    // The shell's "TaskbarCreated" broadcast: the notification area was made anew.
    void Form_TaskbarCreated();
    void MNU_END_Click();
    void Timer1_Timer();
    void WinVisibleChk_Click();
    void CaptionChangeBtn_Click();
    void TemaeChk_Click();
    void SaihaimenChk_Click();
    void TaskBarShowChk_Click();
    void ToumeiSld_Change();
    void ButtonUnEnabledBtn_Click();
    void ButtonEnabledBtn_Click();
    void picFinder_MouseDown(int button, int shift, int x, int y);
    void picFinder_MouseMove(int button, int shift, int x, int y);
    void picFinder_MouseUp(int button, int shift, int x, int y);
    // The capture went elsewhere, modes were cancelled or the window lost the
    // activation: a drag going on ends as a release would end it.
    void picFinder_CaptureLost();
    // Escape: a drag going on ends, and the selection is the press's again.
    void picFinder_Escape();
    void GetParentHandleBtn_Click();
    void PEnd_Click();
    void PForceCloseBtn_Click();
    void PIconGetBtn_Click();

    // --- state -------------------------------------------------------------
    WindowHandle SelectedWindow() const { return selectedWindow_; }
    void SetSelectedWindow(WindowHandle h) { selectedWindow_ = h; }
    Platform& platform() { return platform_; }
    IMainFrmView& view() { return view_; }
    const std::vector<ProcessRecord>& ProcessTable() const { return processTable_; }
    ISurface& Picture1() { return *picture1_; }
    // The icon cell size N x M, set at Form_Load.
    int IconCellWidth() const { return iconCellWidth_; }
    int IconCellHeight() const { return iconCellHeight_; }
    void SetIconCell(int width, int height) {
        iconCellWidth_ = width;
        iconCellHeight_ = height;
    }
    std::vector<ProcessRecord>& MutableProcessTable() { return processTable_; }
    // Every control model, in creation order, for the view.
    const std::vector<ControlModel*>& Controls() const { return controls_; }
    // The controls that Tab and Shift+Tab go through, in this order.
    const std::vector<ControlModel*>& TabOrder() const { return tabOrder_; }

    static constexpr const char* kCaption = "Kelvorin";

    // --- controls ----------------------------------------------------------
    ListView ListView1;
    CaptionedControl Command1;
    CaptionedControl Command3;
    CaptionedControl Command4;
    CaptionedControl Label1;
    CaptionedControl Frame2;
    CaptionedControl PRefreshBtn;
    CaptionedControl PForceCloseBtn;
    CaptionedControl PEnd;
    CaptionedControl Command2;
    CheckBox IMEUnShowChk;
    CaptionedControl Label13;
    TextBox HandleTxt;
    CaptionedControl GetParentHandleBtn;
    CaptionedControl Label11;
    TextBox txtClassName;
    CaptionedControl picFinder;
    CaptionedControl Label2;
    CheckBox WinVisibleChk;
    CaptionedControl Label10;
    TextBox CaptionTxt;
    CaptionedControl CaptionChangeBtn;
    CheckBox TemaeChk;
    CaptionedControl Frame6;
    CheckBox TaskBarShowChk;
    CheckBox SaihaimenChk;
    CaptionedControl PIconGetBtn;
    CaptionedControl Frame3;
    Slider ToumeiSld;
    CaptionedControl Label17;
    CaptionedControl Label18;
    CaptionedControl Label16;
    ComboBox ButtonCmb;
    CaptionedControl ButtonUnEnabledBtn;
    CaptionedControl ButtonEnabledBtn;
    CaptionedControl Image2;
    CaptionedControl Line1;
    ImageList ImageList1;

    // The finder's drag state (idle or dragging) and the selection at its press.
    FinderDrag finderDrag;

private:
    void WireHandlers();
    // Adds the notification-area icon; when the shell refuses it, the window
    // comes back on screen, so the program is never left unreachable.
    void AddTrayIcon();

    Platform& platform_;
    IMainFrmView& view_;
    WindowHandle selectedWindow_;
    std::vector<ProcessRecord> processTable_;
    std::unique_ptr<ISurface> picture1_;
    int iconCellWidth_ = 21;
    int iconCellHeight_ = 21;
    // Sent to the notification area by Command3 and not reopened since.
    bool inTray_ = false;
    std::vector<ControlModel*> controls_;
    std::vector<ControlModel*> tabOrder_;
};

}  // namespace kelvorin
