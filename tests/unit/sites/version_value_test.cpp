#include <gtest/gtest.h>

#include "core/version_value.h"

namespace trawler::core {
namespace {

struct VersionCase {
    const char *a;
    const char *b;
    int expected;  // sign of a compared with b
};

TEST(VersionValueTest, ComparesPartByPart) {
    const VersionCase cases[] = {
        {"1.10", "1.9", 1},        // whole parts, not decimal digits
        {"2", "2.0", 0},           // missing parts count as 0
        {"2.0.0", "2", 0},
        {"3.2", "99.0", -1},
        {"1.1000", "2", -1},       // a large part never spills into the one before
        {"1.999", "1.1000", -1},
        {"x.5", "0.5", 0},         // an unreadable part is 0
        {"", "0", 0},
        {"1.$A", "1.10", 0},       // the program's integer conversion reads hex
        {"4.0.1", "4.0", 1},
    };
    for (const auto &c : cases) {
        const auto order = VersionValue(c.a) <=> VersionValue(c.b);
        const int sign = order < 0 ? -1 : order > 0 ? 1 : 0;
        EXPECT_EQ(sign, c.expected) << c.a << " vs " << c.b;
    }
}

TEST(VersionValueTest, VersionAboveIsStrict) {
    EXPECT_TRUE(VersionAbove("99.0", "3.2"));
    EXPECT_FALSE(VersionAbove("3.2", "3.2.0"));
    EXPECT_FALSE(VersionAbove("3.1", "3.2"));
}

}  // namespace
}  // namespace trawler::core
