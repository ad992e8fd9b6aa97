// The number text: the shortest text reads back as the same double, bit for bit, and every
// conversion keeps the decimal point under a locale that wants a comma.
#include "core/common/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

using axolite::shortestNumberText;

TEST(ShortestNumberText, ReadsBackAsTheSameDoubleAndIsNoLongerThanNeeded) {
    EXPECT_EQ(shortestNumberText(0.05), "0.05");
    EXPECT_EQ(shortestNumberText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortestNumberText(1e308), "1e+308");
    EXPECT_EQ(shortestNumberText(-0.0), "-0");
    EXPECT_EQ(shortestNumberText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(shortestNumberText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(shortestNumberText(-std::nan("")), "nan");
    std::mt19937_64 bits(7);
    for (int i = 0; i < 100000; ++i) {
        double value = 0.0;
        const std::uint64_t pattern = bits();
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = shortestNumberText(value);
        const double back = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
}

namespace {

// The process switched to a Russian locale, as the desktop program is under a Russian user (its
// decimal separator is a comma); the "C" locale again at the end.
class RussianLocale : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef AXOLITE_TEST_LOCALES
        setenv("LOCPATH", AXOLITE_TEST_LOCALES, 1);
#endif
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                break;
            }
        }
        if (std::localeconv()->decimal_point != std::string(",")) {
            std::setlocale(LC_ALL, "C");
            GTEST_SKIP() << "no locale with a decimal comma";
        }
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
    }
};

std::string printed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

TEST_F(RussianLocale, NumbersAreWrittenAndReadWithAPointAndTheLocaleIsLeftAsItWas) {
    EXPECT_EQ(axolite::formatNumber("%g", 0.5), "0.5");
    EXPECT_EQ(axolite::formatNumber("%16.10E", -1.25), "-1.2500000000E+00");
    EXPECT_EQ(axolite::exactNumberText(0.1), "0.10000000000000001");
    EXPECT_EQ(axolite::exactNumberText(-std::nan("")), "nan");
    // A text longer than the formatter's own buffer.
    const std::string wide = axolite::formatNumber("%.70f", 1.5);
    EXPECT_EQ(wide, "1.5" + std::string(69, '0'));
    std::string row = "x=";
    axolite::appendFormattedNumber("%.17g", 2.5, row);
    EXPECT_EQ(row, "x=2.5");

    double d = 0.0;
    EXPECT_EQ(axolite::parseDoublePrefix(" 2.25;", d), 5u);
    EXPECT_EQ(d, 2.25);
    float f = 0.0F;
    EXPECT_EQ(axolite::parseFloatPrefix("1.5e3 2", f), 5u);
    EXPECT_EQ(f, 1500.0F);
    EXPECT_EQ(axolite::parseDoublePrefix("1,5", d), 1u) << "a comma ends the number";
    EXPECT_EQ(axolite::readLeadingNumber("-0.75x"), -0.75);

    // The "C" locale of the conversions above is the calling thread's only for their duration.
    EXPECT_EQ(printed(0.5), "0,5");
}
