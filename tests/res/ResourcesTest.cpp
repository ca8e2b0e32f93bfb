#include <gtest/gtest.h>

#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "res/ResourceIds.h"

namespace {

TEST(StringTable, AboutItemTextAndUnknownIds) {
    EXPECT_STREQ(FindStringResource(IDS_ABOUTBOX), "关于 Vocamint(&A)...");
    EXPECT_EQ(FindStringResource(0), nullptr);
    EXPECT_EQ(FindStringResource(IDD_ABOUTBOX), nullptr);
}

TEST(VersionRecord, Fields) {
    const VersionRecord& v = GetVersionRecord();
    const struct {
        const char* actual;
        const char* expected;
    } fields[] = {
        {v.fileVersion, "1, 0, 0, 1"},
        {v.productVersion, "1, 0, 0, 1"},
        {v.fileDescription, "Vocamint Microsoft 基础类应用程序"},
        {v.internalName, "Vocamint"},
        {v.productName, "Vocamint 应用程序"},
        {v.companyName, ""},
        {v.legalTrademarks, ""},
        {v.translation, "080404B0"},
    };
    for (const auto& f : fields) {
        ASSERT_NE(f.actual, nullptr) << f.expected;
        EXPECT_STREQ(f.actual, f.expected);
    }
}

} // namespace
