#include "catalogue/hide_filter.h"

#include <gtest/gtest.h>

namespace kelvorin {
namespace {

struct FilterCase {
    const char* title;
    int box;
    bool hidden;
};

TEST(HideFilter, PrefixesHideOnlyWhenTheBoxHoldsExactlyOne) {
    const FilterCase cases[] = {
        {"ATOK", 1, true},
        {"ATOK 2017 helper", 1, true},
        {"imejp", 1, true},
        {"Default IME", 1, true},
        {"Default IME - foo", 1, true},
        {"Tessaly", 1, true},
        {"Tessaly window", 0, false},
        {"Default IME", 0, false},
        {"Default IME", 2, false},  // grey counts as clear
        {"ATOK", -1, false},
        // near misses: other letter case, prefix later in the title, cut prefix
        {"atok", 1, false},
        {"IMEJP", 1, false},
        {"default IME", 1, false},
        {"tessaly", 1, false},
        {" ATOK", 1, false},
        {"My Default IME", 1, false},
        {"xTessaly", 1, false},
        {"Default IM", 1, false},
        {"ATO", 1, false},
        {"Kelvorin", 1, false},
        {"", 1, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsHiddenByFilter(c.title, c.box), c.hidden)
            << "title '" << c.title << "' box " << c.box;
    }
}

}  // namespace
}  // namespace kelvorin
