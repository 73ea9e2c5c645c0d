// kelvorin_e2e: the end-to-end driver. run_e2e.sh starts it under Wine with
// the paths of the program and the helper; the rest of the command line is
// GoogleTest's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "harness/desktop.h"
#include "harness/options.h"

namespace {

// Keeps a picture of the screen as it was when a test failed.
class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        if (!test.result()->Failed()) return;
        std::string file =
            e2e::SaveScreenshot(std::string(test.test_suite_name()) + "." + test.name());
        if (!file.empty()) std::printf("screenshot: %s\n", file.c_str());
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // A crash must end the driver, not open a dialog on the virtual screen.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    std::string error = e2e::ParseOptions(argc, argv);
    if (!error.empty()) {
        std::fprintf(stderr, "kelvorin_e2e: %s\n", error.c_str());
        return 2;
    }
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return RUN_ALL_TESTS();
}
