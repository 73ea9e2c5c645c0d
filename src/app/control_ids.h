// Control identifiers of the program's windows. The end-to-end driver finds
// the controls by these ids (GetDlgItem), so they are part of the contract.
#pragma once

namespace kelvorin::ids {

// MainFrm, upper region
inline constexpr int ListView1 = 1001;
inline constexpr int Command1 = 1002;
inline constexpr int Command3 = 1003;
inline constexpr int Command4 = 1004;
inline constexpr int Label1 = 1005;
inline constexpr int Frame2 = 1006;
inline constexpr int PRefreshBtn = 1007;
inline constexpr int PForceCloseBtn = 1008;
inline constexpr int PEnd = 1009;
inline constexpr int Command2 = 1010;
inline constexpr int IMEUnShowChk = 1011;
// inside Frame2
inline constexpr int Label13 = 1020;
inline constexpr int HandleTxt = 1021;
inline constexpr int GetParentHandleBtn = 1022;
inline constexpr int Label11 = 1023;
inline constexpr int txtClassName = 1024;
inline constexpr int picFinder = 1025;
inline constexpr int Label2 = 1026;
// options region
inline constexpr int WinVisibleChk = 1040;
inline constexpr int Label10 = 1041;
inline constexpr int CaptionTxt = 1042;
inline constexpr int CaptionChangeBtn = 1043;
inline constexpr int TemaeChk = 1044;
inline constexpr int Frame6 = 1045;
inline constexpr int TaskBarShowChk = 1046;
inline constexpr int SaihaimenChk = 1047;
inline constexpr int PIconGetBtn = 1048;
inline constexpr int Frame3 = 1049;
inline constexpr int ToumeiSld = 1050;
inline constexpr int Label17 = 1051;
inline constexpr int Label18 = 1052;
inline constexpr int Label16 = 1053;
inline constexpr int ButtonCmb = 1054;
inline constexpr int ButtonUnEnabledBtn = 1055;
inline constexpr int ButtonEnabledBtn = 1056;
// decoration
inline constexpr int Image2 = 1060;
inline constexpr int Line1 = 1061;

// MNU_POPUP items
inline constexpr int MNU_OPEN = 1101;
inline constexpr int MNU_END = 1102;

// IconGetter
inline constexpr int IconText1 = 2001;
inline constexpr int IconCommand1 = 2002;
inline constexpr int IconLabel3 = 2003;
inline constexpr int IconLabel1 = 2004;
inline constexpr int IconListView1 = 2005;
inline constexpr int IconCommand2 = 2006;
inline constexpr int IconCommand3 = 2007;
inline constexpr int IconLabel2 = 2008;

// Window classes
inline constexpr wchar_t kMainFrmClass[] = L"KelvorinMainFrm";
inline constexpr wchar_t kIconGetterClass[] = L"KelvorinIconGetter";

}  // namespace kelvorin::ids
