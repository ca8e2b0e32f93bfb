#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/DecimalNumber.h"

namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

TEST(DecimalNumber, ReadsLikeAtoiAndSaturates) {
    struct Case {
        const char* text;
        std::int64_t value64;
        std::int32_t value32;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"0", 0, 0},
        {"42", 42, 42},
        {"+7", 7, 7},
        {"-7", -7, -7},
        {"007", 7, 7},
        {"-0010", -10, -10},
        {" \t\n\v\f\r 3", 3, 3},
        {"abc", 0, 0},
        {"12abc", 12, 12},
        {"-", 0, 0},
        {"+-5", 0, 0},
        {"1-2", 1, 1},
        {"- 5", 0, 0},
        {"2147483647", INT32_MAX, INT32_MAX},
        {"2147483648", 2147483648, INT32_MAX},
        {"-2147483648", INT32_MIN, INT32_MIN},
        {"-2147483649", -2147483649, INT32_MIN},
        {"9223372036854775807", kMax64, INT32_MAX},
        {"9223372036854775808", kMax64, INT32_MAX},
        {"99999999999999999999999", kMax64, INT32_MAX},
        {"-9223372036854775808", kMin64, INT32_MIN},
        {"-99999999999999999999999x", kMin64, INT32_MIN},
        {"000000000000000000000000012", 12, 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLeadingInt64(c.text), c.value64) << '"' << c.text << '"';
        EXPECT_EQ(ParseLeadingInt32(c.text), c.value32) << '"' << c.text << '"';
    }
}

} // namespace
