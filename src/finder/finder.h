// The finder's hit test and class-name reader.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/platform.h"

namespace kelvorin {

class MainFrm;

// The class-name reader's failure, as the program raises it internally.
class ClassNameError : public std::runtime_error {
public:
    static constexpr int32_t kNumber = static_cast<int32_t>(0x80040000u);
    ClassNameError() : std::runtime_error("ウィンドウのクラス名の取得に失敗しました。") {}
    int32_t Number() const { return kNumber; }
};

// The innermost window at the screen point: WindowFromPoint, then down
// through ChildWindowFromPoint, which also finds disabled and hidden children.
// Runs GetWindowData before it returns.
WindowHandle GetPointWindow(MainFrm& form, Point screen);

// The class name in full, however long: the buffer grows by 100 characters
// while the name fills it. Throws ClassNameError when it cannot be read.
std::string GetWndClassName(IWindows& windows, WindowHandle h);

}  // namespace kelvorin
