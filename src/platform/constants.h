// The numeric values of the Win32 constants the program's logic passes to the
// platform. They carry their Windows meaning but a k-prefixed name, so this
// header can sit beside <windows.h> without clashing with its macros.
#pragma once

#include <cstdint>

namespace kelvorin::win {

// ShowWindow
inline constexpr int kSwHide = 0;
inline constexpr int kSwShow = 5;

// GetWindowLong / SetWindowLong indexes and styles
inline constexpr int kGwlExStyle = -20;
inline constexpr int kGwlHwndParent = -8;
inline constexpr uint32_t kWsExTopmost = 0x8;
inline constexpr uint32_t kWsExLayered = 0x80000;

// SetWindowPos
inline constexpr int32_t kHwndTopmost = -1;
inline constexpr int32_t kHwndNoTopmost = -2;
inline constexpr uint32_t kSwpNoSize = 0x0001;
inline constexpr uint32_t kSwpNoMove = 0x0002;
inline constexpr uint32_t kSwpNoActivate = 0x0010;
inline constexpr uint32_t kSwpShowWindow = 0x0040;

// SetLayeredWindowAttributes
inline constexpr uint32_t kLwaAlpha = 2;

// System menu commands and MENUITEMINFO
inline constexpr uint32_t kScClose = 0xF060;
inline constexpr uint32_t kScMaximize = 0xF030;
inline constexpr uint32_t kScRestore = 0xF120;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kMiimState = 0x1;
inline constexpr uint32_t kMiimId = 0x2;
inline constexpr uint32_t kMfsGrayed = 0x3;

// Messages
inline constexpr uint32_t kWmSetText = 0x000C;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmRButtonDown = 0x0204;

// GetSystemMetrics
inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmCxIcon = 11;
inline constexpr int kSmCyIcon = 12;

// Toolhelp
inline constexpr uint32_t kTh32csSnapProcess = 2;
inline constexpr uint32_t kTh32csSnapModule = 8;

// OpenProcess
inline constexpr uint32_t kProcessTerminate = 0x0001;

// MessageBox styles and answers
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconExclamation = 0x30;
inline constexpr int kIdYes = 6;

// Shell_NotifyIcon
inline constexpr uint32_t kNimAdd = 0;
inline constexpr uint32_t kNimDelete = 2;
inline constexpr uint32_t kNifMessage = 0x1;
inline constexpr uint32_t kNifIcon = 0x2;
inline constexpr uint32_t kNifTip = 0x4;

// TrackPopupMenu
inline constexpr uint32_t kTpmLeftButton = 0x0;
inline constexpr uint32_t kTpmRightButton = 0x2;

// Platform families reported by GetVersionExA
inline constexpr uint32_t kVerPlatformWin32Windows = 1;

// System colours
inline constexpr int kColorWindow = 5;
inline constexpr int kColorBtnText = 18;

// Virtual keys
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;

}  // namespace kelvorin::win
