// MainFrm's control inventory and event wiring. Positions are the design
// values in twips, relative to the client area; controls inside a frame are
// given relative to the frame and placed by Inside().
#include "app/main_frm.h"

namespace kelvorin {
namespace {

constexpr TwipsRect kFrame2{5520, 2640, 5295, 1335};
constexpr TwipsRect kFrame6{120, 5400, 5055, 975};
constexpr TwipsRect kFrame3{120, 6480, 5055, 615};

constexpr TwipsRect Inside(TwipsRect frame, TwipsRect r) {
    return {frame.left + r.left, frame.top + r.top, r.width, r.height};
}

using K = ControlKind;

}  // namespace

MainFrm::MainFrm(Platform& platform, IMainFrmView& view)
    : ListView1("ListView1", ids::ListView1, {120, 120, 5295, 3975}),
      Command1("Command1", K::Button, ids::Command1, {5520, 120, 3255, 1695}, "表示する", 18),
      Command3("Command3", K::Button, ids::Command3, {9000, 120, 1815, 375}, "タスクトレイに格納"),
      Command4("Command4", K::Button, ids::Command4, {9000, 600, 1815, 375}, "プログラムの終了"),
      Label1("Label1", K::Label, ids::Label1, {5520, 2040, 5175, 375},
             "※「Ctrl+1」でも、アクティブウインドウを非表示にできます。(この画面を非表示の場合)"),
      Frame2("Frame2", K::Frame, ids::Frame2, kFrame2, "コントロール選択ツール"),
      PRefreshBtn("PRefreshBtn", K::Button, ids::PRefreshBtn, {120, 4200, 1695, 375}, "更新"),
      PForceCloseBtn("PForceCloseBtn", K::Button, ids::PForceCloseBtn, {1920, 4200, 1695, 375},
                     "プロセス強制終了"),
      PEnd("PEnd", K::Button, ids::PEnd, {3720, 4200, 1575, 375}, "プロセスを閉じる"),
      Command2("Command2", K::Button, ids::Command2, {9120, 4200, 1695, 375}, "オプション..."),
      // Starts checked, so the IME helper windows and the program itself stay out
      // of the list until the user asks for them.
      IMEUnShowChk("IMEUnShowChk", ids::IMEUnShowChk, {1680, 120, 3615, 495},
                   "IME・ATOK関連＆このプロセスを非表示", 1),
      Label13("Label13", K::Label, ids::Label13, Inside(kFrame2, {120, 240, 1215, 375}),
              "ハンドル"),
      HandleTxt("HandleTxt", ids::HandleTxt, Inside(kFrame2, {1440, 240, 1335, 270})),
      GetParentHandleBtn("GetParentHandleBtn", K::Button, ids::GetParentHandleBtn,
                         Inside(kFrame2, {2880, 240, 2175, 255}), "親のハンドル取得"),
      Label11("Label11", K::Label, ids::Label11, Inside(kFrame2, {120, 600, 1215, 495}),
              "コントロール名"),
      txtClassName("txtClassName", ids::txtClassName, Inside(kFrame2, {1440, 600, 1335, 270})),
      picFinder("picFinder", K::Picture, ids::picFinder, Inside(kFrame2, {4560, 600, 540, 540}),
                ""),
      Label2("Label2", K::Label, ids::Label2, Inside(kFrame2, {240, 960, 4335, 255}),
             "十字をウインドウまたはコントロールにドラッグして離します→"),
      WinVisibleChk("WinVisibleChk", ids::WinVisibleChk, {5640, 4800, 735, 255}, "表示"),
      Label10("Label10", K::Label, ids::Label10, {120, 4920, 1815, 375}, "キャプション"),
      CaptionTxt("CaptionTxt", ids::CaptionTxt, {1200, 4920, 3015, 270}),
      CaptionChangeBtn("CaptionChangeBtn", K::Button, ids::CaptionChangeBtn,
                       {4200, 4935, 735, 255}, "変更"),
      TemaeChk("TemaeChk", ids::TemaeChk, {5640, 5160, 1815, 255}, "常に手前に表示"),
      Frame6("Frame6", K::Frame, ids::Frame6, kFrame6, "不透明度(2000,XP)"),
      TaskBarShowChk("TaskBarShowChk", ids::TaskBarShowChk, {5640, 5520, 1695, 200},
                     "タスクバーに表示"),
      SaihaimenChk("SaihaimenChk", ids::SaihaimenChk, {5640, 5880, 1575, 200}, "最背面に表示"),
      PIconGetBtn("PIconGetBtn", K::Button, ids::PIconGetBtn, {5640, 6240, 2415, 375},
                  "プロセスのアイコン取得"),
      Frame3("Frame3", K::Frame, ids::Frame3, kFrame3, "コントロールボックス"),
      ToumeiSld("ToumeiSld", ids::ToumeiSld, Inside(kFrame6, {120, 240, 4815, 495})),
      Label17("Label17", K::Label, ids::Label17, Inside(kFrame6, {240, 720, 375, 255}), "0"),
      Label18("Label18", K::Label, ids::Label18, Inside(kFrame6, {2520, 720, 375, 255}), "128"),
      Label16("Label16", K::Label, ids::Label16, Inside(kFrame6, {4680, 720, 375, 255}), "255"),
      ButtonCmb("ButtonCmb", ids::ButtonCmb, Inside(kFrame3, {120, 240, 2295, 300}),
                {"閉じるボタン", "元に戻すボタン", "最大化ボタン", "最小化ボタン"}, "閉じるボタン"),
      ButtonUnEnabledBtn("ButtonUnEnabledBtn", K::Button, ids::ButtonUnEnabledBtn,
                         Inside(kFrame3, {2520, 240, 1215, 255}), "無効化"),
      ButtonEnabledBtn("ButtonEnabledBtn", K::Button, ids::ButtonEnabledBtn,
                       Inside(kFrame3, {3720, 240, 1215, 255}), "すべて有効化"),
      // The 152 x 23 banner sits in the free corner of the options region, and
      // the line separates the options region from the upper one.
      Image2("Image2", K::Picture, ids::Image2, {8520, 6720, 2280, 345}, ""),
      Line1("Line1", K::Line, ids::Line1, {0, 4710, 10890, 30}, ""),
      platform_(platform),
      view_(view),
      picture1_(platform.createSurface()) {
    // Creation order is z-order. Windowed controls come first,
    // IMEUnShowChk before the list it overlaps; then the labels, pictures and
    // the line, which lie beneath any control they overlap (Label2 above the
    // two-line Label11 whose box reaches into it); the frames come last, beneath
    // everything they hold.
    controls_ = {&IMEUnShowChk, &ListView1, &Command1, &Command3, &Command4, &HandleTxt,
                 &GetParentHandleBtn, &txtClassName, &picFinder, &PRefreshBtn,
                 &PForceCloseBtn, &PEnd, &Command2, &CaptionTxt, &CaptionChangeBtn,
                 &WinVisibleChk, &TemaeChk, &TaskBarShowChk, &SaihaimenChk, &PIconGetBtn,
                 &ToumeiSld, &ButtonCmb, &ButtonUnEnabledBtn, &ButtonEnabledBtn,
                 &Label1, &Label13, &Label2, &Label11, &Label10, &Label17, &Label18, &Label16,
                 &Image2, &Line1, &Frame2, &Frame6, &Frame3};
    // Reading order: the list, then the rest as the eye takes them in. It is the
    // creation order but for IMEUnShowChk, which has to lie above the list it
    // overlaps and is still read after it.
    tabOrder_ = {&ListView1, &IMEUnShowChk, &Command1, &Command3, &Command4, &HandleTxt,
                 &GetParentHandleBtn, &txtClassName, &PRefreshBtn, &PForceCloseBtn, &PEnd,
                 &Command2, &CaptionTxt, &CaptionChangeBtn, &WinVisibleChk, &TemaeChk,
                 &TaskBarShowChk, &SaihaimenChk, &PIconGetBtn, &ToumeiSld, &ButtonCmb,
                 &ButtonUnEnabledBtn, &ButtonEnabledBtn};
    WireHandlers();
}

void MainFrm::WireHandlers() {
    ListView1.SetCompare(
        [this](const std::string& a, const std::string& b) { return platform_.ui.CompareText(a, b); });
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    PRefreshBtn.onClick = [this] { PRefreshBtn_Click(); };
    PForceCloseBtn.onClick = [this] { PForceCloseBtn_Click(); };
    PEnd.onClick = [this] { PEnd_Click(); };
    IMEUnShowChk.onClick = [this] { IMEUnShowChk_Click(); };
    GetParentHandleBtn.onClick = [this] { GetParentHandleBtn_Click(); };
    WinVisibleChk.onClick = [this] { WinVisibleChk_Click(); };
    CaptionChangeBtn.onClick = [this] { CaptionChangeBtn_Click(); };
    TemaeChk.onClick = [this] { TemaeChk_Click(); };
    TaskBarShowChk.onClick = [this] { TaskBarShowChk_Click(); };
    SaihaimenChk.onClick = [this] { SaihaimenChk_Click(); };
    PIconGetBtn.onClick = [this] { PIconGetBtn_Click(); };
    ToumeiSld.onChange = [this] { ToumeiSld_Change(); };
    ButtonUnEnabledBtn.onClick = [this] { ButtonUnEnabledBtn_Click(); };
    ButtonEnabledBtn.onClick = [this] { ButtonEnabledBtn_Click(); };
}

}  // namespace kelvorin
