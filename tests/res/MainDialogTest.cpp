#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/ResourceModule.h"
#include "framework/WinDef.h"
#include "res/ResourceIds.h"
#include "res/RowIds.h"

namespace {

const DialogTemplate& Main() {
    const DialogTemplate* t = FindDialogTemplate(IDD_MAIN);
    EXPECT_NE(t, nullptr);
    static const DialogTemplate empty{};
    return t ? *t : empty;
}

const ControlTemplate* FindControl(int id) {
    for (const ControlTemplate& c : Main().controls) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

// The heights of the ten rows as the window lays them out, row 0 at the top.
struct RowHeights {
    int yCheck, yToggles, yLabels;
};
constexpr RowHeights kHeights[kRowIdCount] = {
    {84, 84, 84},    {101, 101, 102}, {119, 119, 121}, {137, 137, 139}, {155, 155, 157},
    {173, 173, 175}, {191, 191, 193}, {209, 209, 211}, {227, 227, 229}, {244, 246, 246},
};

std::vector<int> Column(int RowIds::*member) {
    std::vector<int> ids;
    for (const RowIds& r : kRowIds)
        ids.push_back(r.*member);
    return ids;
}

std::vector<int> TemplateIds() {
    std::vector<int> ids;
    for (const ControlTemplate& c : Main().controls)
        ids.push_back(c.id);
    return ids;
}

TEST(MainDialog, Frame) {
    const DialogTemplate& t = Main();
    EXPECT_STREQ(t.caption, "Vocamint");
    EXPECT_EQ(t.cx, 548);
    EXPECT_EQ(t.cy, 328);
    EXPECT_EQ(t.style, unsigned{DS_VISIBLE | DS_MINIMIZEBOX | DS_APPWINDOW});
    EXPECT_STREQ(t.fontFace, "宋体");
    EXPECT_STREQ(t.fallbackFontFace, "AR PL UMing CN");
    EXPECT_EQ(t.pointSize, 9);
}

TEST(MainDialog, HoldsTheSeventyOneControlsInTabOrder) {
    std::vector<int> expected = {IDOK, 1000, 1001, 1002, 1003, 1017, 1018};
    for (int RowIds::*column :
         {&RowIds::check, &RowIds::wordToggle, &RowIds::meanLabel, &RowIds::meanToggle}) {
        const std::vector<int> ids = Column(column);
        expected.insert(expected.end(), ids.begin(), ids.end());
    }
    expected.insert(expected.end(), {IDC_STATIC, 1009, IDC_STATIC, 1047, 1016, IDC_STATIC, 1059});
    const std::vector<int> wordLabels = Column(&RowIds::wordLabel);
    expected.insert(expected.end(), wordLabels.begin(), wordLabels.end());
    expected.insert(expected.end(), {IDC_STATIC, 1060, 1061, 1064, 1062, 1065, 1063});

    ASSERT_EQ(expected.size(), 71u);
    EXPECT_EQ(TemplateIds(), expected);
}

TEST(MainDialog, EveryIdTheCodeUsesAppearsOnce) {
    std::vector<int> used = {
        IDOK,     IDC_FIRST_PAGE,  IDC_PREV_PAGE, IDC_NEXT_PAGE,   IDC_LAST_PAGE, IDC_PAGE,
        IDC_GOTO, IDC_GOTO_BUTTON, IDC_HIDE_WORD, IDC_HIDE_MEAN,   IDC_WORD,      IDC_MEAN,
        IDC_TYPE, IDC_ADD,         IDC_SPELL,     IDC_SPELL_LABEL, IDC_TYPE_LABEL};
    for (const RowIds& r : kRowIds)
        used.insert(used.end(), {r.check, r.wordLabel, r.wordToggle, r.meanLabel, r.meanToggle});
    const std::vector<int> ids = TemplateIds();
    for (int id : used)
        EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 1) << "id " << id;
    // The rest are the four labels no code touches.
    EXPECT_EQ(used.size() + 4, ids.size());
    EXPECT_EQ(std::count(ids.begin(), ids.end(), IDC_STATIC), 4);
}

TEST(MainDialog, RowsStandInTheirColumnsAtTheirHeights) {
    for (int r = 0; r < 10; ++r) {
        SCOPED_TRACE("row " + std::to_string(r));
        const RowIds& row = kRowIds[r];
        const RowHeights& at = kHeights[r];
        struct Expected {
            int id;
            ControlKind kind;
            const char* caption;
            int x, y, cx, cy;
        } const cells[] = {
            {row.check, ControlKind::CheckBox, "", 18, at.yCheck, 10, r == 0 ? 10 : 11},
            {row.wordLabel, ControlKind::Label, "Static", 32, at.yLabels, 246, 8},
            {row.wordToggle, ControlKind::PushButton, "+", 282, at.yToggles, 12, 10},
            {row.meanLabel, ControlKind::Label, "Static", 305, at.yLabels, 200, 8},
            {row.meanToggle, ControlKind::PushButton, "+", 507, at.yToggles, 12, 10},
        };
        for (const Expected& e : cells) {
            const ControlTemplate* c = FindControl(e.id);
            ASSERT_NE(c, nullptr) << "id " << e.id;
            EXPECT_EQ(c->kind, e.kind) << "id " << e.id;
            EXPECT_STREQ(c->caption, e.caption) << "id " << e.id;
            EXPECT_EQ((std::vector<int>{c->x, c->y, c->cx, c->cy}),
                      (std::vector<int>{e.x, e.y, e.cx, e.cy}))
                << "id " << e.id;
        }
    }
}

TEST(MainDialog, StylesFollowTheControlKind) {
    int defaults = 0, hidden = 0, edged = 0;
    for (const ControlTemplate& c : Main().controls) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        const bool takesFocus = c.kind != ControlKind::Label;
        EXPECT_EQ((c.style & CS_TABSTOP) != 0, takesFocus);
        EXPECT_EQ((c.style & CS_GROUP) != 0, c.kind == ControlKind::Label);
        EXPECT_EQ(c.style & CS_NOPREFIX, 0u);
        defaults += c.kind == ControlKind::DefPushButton;
        hidden += (c.style & CS_HIDDEN) != 0;
        edged += (c.style & CS_STATICEDGE) != 0;
        if (c.style & CS_STATICEDGE) {
            EXPECT_EQ(c.kind, ControlKind::PushButton);
        }
    }
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(FindControl(IDOK)->kind, ControlKind::DefPushButton);
    EXPECT_EQ(hidden, 2);
    EXPECT_TRUE(FindControl(IDC_SPELL)->style & CS_HIDDEN);
    EXPECT_TRUE(FindControl(IDC_SPELL_LABEL)->style & CS_HIDDEN);
    // Four page buttons, twenty toggles and GoTo; "&Add" has no edge.
    EXPECT_EQ(edged, 25);
    EXPECT_TRUE(FindControl(IDC_GOTO_BUTTON)->style & CS_STATICEDGE);
    EXPECT_FALSE(FindControl(IDC_ADD)->style & CS_STATICEDGE);
}

TEST(MainDialog, SeparatorsAreLinesOf127Underscores) {
    std::vector<int> ys;
    for (const ControlTemplate& c : Main().controls) {
        if (c.id == IDC_STATIC && c.caption[0] == '_') {
            EXPECT_EQ(std::string(c.caption), std::string(127, '_'));
            EXPECT_EQ((std::vector<int>{c.x, c.cx, c.cy}), (std::vector<int>{16, 509, 8}));
            ys.push_back(c.y);
        }
    }
    EXPECT_EQ(ys, (std::vector<int>{60, 261}));
}

TEST(DialogTemplates, UnknownIdHasNoTemplate) {
    EXPECT_EQ(FindDialogTemplate(0), nullptr);
    EXPECT_EQ(FindDialogTemplate(IDR_MAINFRAME), nullptr);
}

} // namespace
