// What the end-to-end tests share: the list's column order, the texts the
// program writes, and a fixture that ends every program a test started.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "harness/helper_process.h"
#include "harness/kelvorin_app.h"
#include "harness/text.h"

namespace e2e {

namespace ids = kelvorin::ids;

// ListView1's columns, left to right.
enum Column {
    kIconCol,
    kHandleCol,
    kProcessNameCol,
    kCaptionCol,
    kProcessIdCol,
    kFullPathCol,
    kVisibilityCol
};

inline const std::string kShown = "表示";
inline const std::string kHidden = "非表示";

class KelvorinTest : public testing::Test {
  protected:
    // Starts kelvorin.exe; the test fails at once when it does not come up.
    KelvorinApp& Launch() {
        app_ = KelvorinApp::Launch();
        return *app_;
    }
    // One helper process; each entry is one target window's arguments, e.g.
    // {"window", "name", "--title", "Text", "--hidden"}.
    HelperProcess& StartHelper(std::initializer_list<std::vector<std::string>> targets) {
        std::vector<std::string> args;
        for (const auto& target : targets) args.insert(args.end(), target.begin(), target.end());
        helpers_.push_back(std::make_unique<HelperProcess>(HelperProcess::Start(args)));
        return *helpers_.back();
    }
    void TearDown() override {
        if (app_) {
            std::string how = app_->Quit();
            if (how != "exit button") std::printf("note: kelvorin.exe ended by %s\n", how.c_str());
        }
        helpers_.clear();
    }
    std::unique_ptr<KelvorinApp> app_;
    std::vector<std::unique_ptr<HelperProcess>> helpers_;
};

}  // namespace e2e
