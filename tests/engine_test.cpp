// The conversion engine against its documented examples and, exhaustively,
// against the properties that must hold for every one of the 16,777,216
// inputs of each direction.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/conversion.h"

namespace {

struct Triple {
    int a, b, c;
    bool operator==(const Triple &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Triple &t)
{
    return os << '(' << t.a << ", " << t.b << ", " << t.c << ')';
}

Triple ToHsv(Triple rgb)
{
    Triple hsv{-1, -1, -1};
    RgbToHsv(rgb.a, rgb.b, rgb.c, &hsv.a, &hsv.b, &hsv.c);
    return hsv;
}

Triple ToRgb(Triple hsv)
{
    Triple rgb{-1, -1, -1};
    HsvToRgb(hsv.a, hsv.b, hsv.c, &rgb.a, &rgb.b, &rgb.c);
    return rgb;
}

// Leaves a hue in the shared record that no example expects, so that a
// conversion which reached no hue rule would show it.
void LeaveStaleHue()
{
    ToRgb({99, 99, 99});
}

struct Example {
    const char *why;
    Triple in;
    Triple out;
};

TEST(RgbToHsv, DocumentedExamples)
{
    const Example cases[] = {
        {"black", {0, 0, 0}, {0, 0, 0}},
        {"white", {255, 255, 255}, {0, 0, 255}},
        {"grey keeps its level as value", {77, 77, 77}, {0, 0, 77}},
        {"pure red", {255, 0, 0}, {0, 255, 255}},
        {"pure yellow is 42 though rule 1 gives 43", {255, 255, 0}, {42, 255, 255}},
        {"pure green", {0, 255, 0}, {85, 255, 255}},
        {"pure cyan", {0, 255, 255}, {128, 255, 255}},
        {"pure blue", {0, 0, 255}, {170, 255, 255}},
        {"pure magenta", {255, 0, 255}, {213, 255, 255}},
        {"rising hue rounds up", {255, 128, 0}, {22, 255, 255}},
        {"dark red is scaled to full red", {128, 0, 0}, {0, 255, 128}},
        {"scale, stretch with S 192, rule 1", {200, 100, 50}, {15, 192, 200}},
        {"stretch by 1.5, rule 3b rounds down", {10, 20, 30}, {149, 170, 30}},
        {"scaling floors 127.5 to 127", {1, 2, 0}, {64, 255, 2}},
        {"just past red", {255, 1, 0}, {1, 255, 255}},
        {"hue not monotonic below yellow", {255, 253, 0}, {43, 255, 255}},
        {"just short of yellow", {255, 254, 0}, {43, 255, 255}},
        {"just past yellow", {254, 255, 0}, {43, 255, 255}},
        {"just short of green", {1, 255, 0}, {85, 255, 255}},
        {"just past green", {0, 255, 1}, {86, 255, 255}},
        {"just short of blue", {0, 1, 255}, {170, 255, 255}},
        {"just past blue", {1, 0, 255}, {171, 255, 255}},
        {"just short of magenta", {255, 0, 254}, {213, 255, 255}},
        {"just short of red again", {255, 0, 1}, {255, 255, 255}},
        {"reddish white", {255, 254, 254}, {0, 1, 255}},
        {"greenish white", {254, 255, 254}, {85, 1, 255}},
        {"bluish white", {254, 254, 255}, {170, 1, 255}},
        // Saturations 11 and 232 are two of those where dividing before
        // multiplying would leave the largest stretched value off 255.0.
        {"saturation 11 still reaches a rule", {255, 244, 244}, {0, 11, 255}},
        {"saturation 232 still reaches a rule", {1, 1, 11}, {170, 232, 11}},
        {"saturation 11, green leading", {244, 255, 244}, {85, 11, 255}},
        {"saturation 25, where it would fall below", {255, 230, 240}, {239, 25, 255}},
    };
    for (const Example &e : cases) {
        LeaveStaleHue();
        EXPECT_EQ(ToHsv(e.in), e.out) << e.why << ", from " << e.in;
    }
}

TEST(HsvToRgb, DocumentedExamples)
{
    const Example cases[] = {
        {"hue 0 is red", {0, 255, 255}, {255, 0, 0}},
        {"hue 1", {1, 255, 255}, {255, 6, 0}},
        {"hue 21", {21, 255, 255}, {255, 126, 0}},
        {"hue 42 stops short of yellow", {42, 255, 255}, {255, 252, 0}},
        {"hue 43", {43, 255, 255}, {253, 255, 0}},
        {"hue 85 keeps red 1", {85, 255, 255}, {1, 255, 0}},
        {"hue 86", {86, 255, 255}, {0, 255, 4}},
        {"hue 127", {127, 255, 255}, {0, 255, 250}},
        {"hue 128 clamps blue from 256", {128, 255, 255}, {0, 255, 255}},
        {"hue 129", {129, 255, 255}, {0, 249, 255}},
        {"hue 170 keeps green 3", {170, 255, 255}, {0, 3, 255}},
        {"hue 171", {171, 255, 255}, {2, 0, 255}},
        {"hue 213", {213, 255, 255}, {254, 0, 255}},
        {"hue 214: stored border lifts blue to 252", {214, 255, 255}, {255, 0, 252}},
        {"hue 254", {254, 255, 255}, {255, 0, 12}},
        {"hue 255: 6, not 5", {255, 255, 255}, {255, 0, 6}},
        {"mixed, sector 1", {43, 100, 200}, {199, 200, 121}},
        {"mixed, sector 3", {170, 128, 128}, {63, 64, 128}},
        {"mixed, hue 128", {128, 128, 255}, {127, 255, 255}},
        {"dark, sector 5", {255, 255, 33}, {32, 0, 0}},
        {"nearly full saturation", {0, 254, 255}, {255, 1, 1}},
        {"no saturation is grey", {50, 0, 128}, {128, 128, 128}},
        {"grey 255", {7, 0, 255}, {255, 255, 255}},
        {"grey 33 falls one short", {200, 0, 33}, {32, 32, 32}},
        {"no value is black", {77, 200, 0}, {0, 0, 0}},
    };
    for (const Example &e : cases) EXPECT_EQ(ToRgb(e.in), e.out) << e.why << ", from " << e.in;
}

// The record as bytes, to show that a call changed nothing at all.
struct RecordImage {
    unsigned char bytes[sizeof(CONVERSIONRECORD)];
    RecordImage() { std::memcpy(bytes, &ConversionState, sizeof bytes); }
    bool operator==(const RecordImage &o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) == 0; }
};

TEST(ConversionState, MissingOutputMeansTheCallDoesNothing)
{
    for (int missing = 0; missing < 3; missing++) {
        for (bool to_hsv : {true, false}) {
            ToRgb({60, 200, 100});  // a known, non-zero state
            const RecordImage before;
            int out[3] = {-7, -7, -7};
            int *ptr[3] = {&out[0], &out[1], &out[2]};
            ptr[missing] = nullptr;
            if (to_hsv)
                RgbToHsv(10, 20, 30, ptr[0], ptr[1], ptr[2]);
            else
                HsvToRgb(10, 20, 30, ptr[0], ptr[1], ptr[2]);
            EXPECT_TRUE(RecordImage() == before) << "output " << missing << " missing, to_hsv " << to_hsv;
            for (int i = 0; i < 3; i++) EXPECT_EQ(out[i], -7) << "output " << i << " was written";
        }
    }
}

TEST(ConversionState, InputsAreStoredAsTheirLowEightBits)
{
    const struct {
        const char *why;
        Triple in, same_as;
    } cases[] = {
        {"256 is 0", {256, 0, 0}, {0, 0, 0}},
        {"300 is 44", {300, 10, 20}, {44, 10, 20}},
        {"every component wraps", {511, 256 + 128, 1024 + 7}, {255, 128, 7}},
        {"negative keeps its low byte", {-1, -256, -255}, {255, 0, 1}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ToHsv(c.in), ToHsv(c.same_as)) << c.why;
        EXPECT_EQ(ConversionState.R, c.same_as.a) << c.why;
        EXPECT_EQ(ToRgb(c.in), ToRgb(c.same_as)) << c.why;
        EXPECT_EQ(ConversionState.H, c.same_as.a) << c.why;
    }
}

TEST(ConversionState, BothDirectionsShareTheRecord)
{
    // HSV 50, 0, 128 is grey 128; the hue typed stays in the record for the
    // next conversion, and the RGB bytes are what the call returned.
    EXPECT_EQ(ToRgb({50, 0, 128}), (Triple{128, 128, 128}));
    EXPECT_EQ(ConversionState.H, 50);
    EXPECT_EQ(ConversionState.S, 0);
    EXPECT_EQ(ConversionState.V, 128);
    EXPECT_EQ(ConversionState.R, 128);
    // Converting that grey back runs the grey rule, which sets hue 0.
    EXPECT_EQ(ToHsv({128, 128, 128}), (Triple{0, 0, 128}));
    EXPECT_EQ(ConversionState.H, 0);
}

// ---------------------------------------------------------------------------
// Exhaustive properties.

template <typename F>
void ForEveryInput(F f)
{
    for (int a = 0; a < 256; a++)
        for (int b = 0; b < 256; b++)
            for (int c = 0; c < 256; c++) f(Triple{a, b, c});
}

TEST(Exhaustive, EveryFullColourHueSurvivesTheRoundTrip)
{
    for (int hue = 0; hue < 256; hue++) {
        const Triple rgb = ToRgb({hue, 255, 255});
        EXPECT_EQ(ToHsv(rgb), (Triple{hue, 255, 255})) << "hue " << hue << " via " << rgb;
    }
}

TEST(Exhaustive, HueNeverDependsOnTheStaleRecord)
{
    // Every colour reaches a hue rule, so what an earlier call left in the
    // record cannot show through.
    long stale = 0;
    ForEveryInput([&](Triple rgb) {
        ConversionState.H = 0x5A;
        const Triple first = ToHsv(rgb);
        ConversionState.H = 0xA5;
        if (!(ToHsv(rgb) == first) && stale++ < 5) ADD_FAILURE() << "stale hue for " << rgb;
    });
    EXPECT_EQ(stale, 0);
}

TEST(Exhaustive, RgbRoundTripMovesNoComponentByMoreThanFive)
{
    long bad = 0;
    int worst = 0;
    ForEveryInput([&](Triple rgb) {
        const Triple back = ToRgb(ToHsv(rgb));
        const int d = std::max({std::abs(back.a - rgb.a), std::abs(back.b - rgb.b), std::abs(back.c - rgb.c)});
        worst = std::max(worst, d);
        if (d > 5 && bad++ < 5) ADD_FAILURE() << rgb << " came back as " << back;
    });
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(worst, 5) << "the bound is reached, e.g. (0, 255, 5) comes back as (0, 255, 10)";
    EXPECT_EQ(ToRgb(ToHsv({0, 255, 5})), (Triple{0, 255, 10}));
}

TEST(Exhaustive, HsvRoundTripMovesValueByAtMostOne)
{
    long bad = 0;
    ForEveryInput([&](Triple hsv) {
        const Triple back = ToHsv(ToRgb(hsv));
        if (std::abs(back.c - hsv.c) > 1 && bad++ < 5) ADD_FAILURE() << hsv << " came back as " << back;
    });
    EXPECT_EQ(bad, 0);
}

TEST(Exhaustive, GreysFallOneShortForExactlyTwentyFourValues)
{
    const std::set<int> short_values = {33, 37, 41, 45, 49, 53, 57, 61, 66, 74, 82, 90,
                                        98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
    for (int value = 0; value < 256; value++) {
        const int expected = short_values.count(value) ? value - 1 : value;
        for (int hue = 0; hue < 256; hue++) {
            const Triple rgb = ToRgb({hue, 0, value});
            ASSERT_EQ(rgb, (Triple{expected, expected, expected})) << "hue " << hue << ", value " << value;
        }
    }
}

TEST(Exhaustive, EachEdgeRuleKeepsToItsHueRange)
{
    // With the three components all different, the order of the components
    // alone decides which edge rule sets the hue last.
    struct Range {
        const char *rule;
        int low, high;
        long seen;
    } ranges[6] = {{"1, red to yellow", 1, 43, 0},   {"2, yellow to green", 43, 85, 0},
                   {"3a, green to cyan", 86, 128, 0}, {"3b, cyan to blue", 128, 170, 0},
                   {"4, blue to magenta", 171, 213, 0}, {"5a, magenta to red", 213, 255, 0}};
    long bad = 0;
    ForEveryInput([&](Triple rgb) {
        const int r = rgb.a, g = rgb.b, b = rgb.c;
        int sector;
        if (r > g && g > b) sector = 0;
        else if (g > r && r > b) sector = 1;
        else if (g > b && b > r) sector = 2;
        else if (b > g && g > r) sector = 3;
        else if (b > r && r > g) sector = 4;
        else if (r > b && b > g) sector = 5;
        else return;
        Range &range = ranges[sector];
        const int hue = ToHsv(rgb).a;
        range.seen++;
        if ((hue < range.low || hue > range.high) && bad++ < 5)
            ADD_FAILURE() << "rule " << range.rule << " gave " << hue << " for " << rgb;
    });
    EXPECT_EQ(bad, 0);
    for (const Range &range : ranges) EXPECT_GT(range.seen, 0) << range.rule;
}

}  // namespace
