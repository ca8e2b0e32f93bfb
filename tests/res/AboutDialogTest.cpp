#include <gtest/gtest.h>

#include <vector>

#include "framework/ResourceModule.h"
#include "framework/WinDef.h"
#include "res/AppResources.h"
#include "res/ResourceIds.h"

namespace {

TEST(AboutDialog, FrameIsAPlainModalBox) {
    const DialogTemplate* t = FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->caption, "关于 Vocamint");
    EXPECT_EQ(t->cx, 235);
    EXPECT_EQ(t->cy, 55);
    EXPECT_EQ(t->style, unsigned{DS_NONE});
    EXPECT_STREQ(t->fontFace, "宋体");
    EXPECT_EQ(t->pointSize, 9);
}

TEST(AboutDialog, IconVersionLineAndOkButton) {
    const DialogTemplate* t = FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(t, nullptr);
    const struct {
        int id;
        ControlKind kind;
        const char* caption; // not compared for the icon
        int x, y, cx, cy;
        unsigned style;
    } expected[] = {
        {IDC_STATIC, ControlKind::Icon, nullptr, 11, 17, 20, 20, CS_NONE},
        {IDC_STATIC, ControlKind::Label, "Vocamint 1.0 版", 40, 10, 119, 8, CS_NOPREFIX | CS_GROUP},
        {IDOK, ControlKind::DefPushButton, "确定", 178, 7, 50, 14, CS_GROUP | CS_TABSTOP},
    };
    ASSERT_EQ(t->controls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const ControlTemplate& c = t->controls[i];
        const auto& e = expected[i];
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.kind, e.kind);
        if (e.caption) {
            EXPECT_STREQ(c.caption, e.caption);
        }
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.cx, c.cy}),
                  (std::vector<int>{e.x, e.y, e.cx, e.cy}));
        EXPECT_EQ(c.style, e.style);
    }
    EXPECT_EQ(t->controls[0].iconId, IDR_MAINFRAME);
    EXPECT_NE(FindIconResource(t->controls[0].iconId), nullptr);
}

} // namespace
