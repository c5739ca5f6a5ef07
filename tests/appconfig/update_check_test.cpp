#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appconfig/update_check.h"

namespace tavrik::appconfig {
namespace {

std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

struct VersionRow {
    std::string file;
    Version expected;
};

class VersionFile : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionFile, Parses) {
    EXPECT_EQ(parseVersionFile(bytes(GetParam().file)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, VersionFile,
    ::testing::Values(VersionRow{"Ver: 1.1    ", {1, 1}},
                      VersionRow{std::string("Ver: 2.7\0\0\0\0", 12), {2, 7}},
                      VersionRow{"Ver: 1.1", {1, 1}},  // exactly long enough
                      VersionRow{"Ver: 1.", {0, 0}},   // too short for the minor digit
                      VersionRow{"", {0, 0}}, VersionRow{"Ver: x.1    ", {0, 0}},
                      VersionRow{"Ver: 1.:    ", {0, 0}}));

struct OfferRow {
    Version package;
    Version firmware;
    bool offered;
};

class UpdateOffer : public ::testing::TestWithParam<OfferRow> {};

TEST_P(UpdateOffer, OnlyANewerPackage) {
    EXPECT_EQ(updateOffered(GetParam().package, GetParam().firmware), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(UpdateCheck, UpdateOffer,
                         ::testing::Values(OfferRow{{1, 2}, {1, 1}, true},
                                           OfferRow{{1, 1}, {1, 1}, false},
                                           OfferRow{{2, 0}, {1, 9}, true},
                                           OfferRow{{1, 9}, {2, 0}, false},
                                           OfferRow{{0, 0}, {0, 0}, false},  // no VER.bin
                                           OfferRow{{1, 0}, {1, 5}, false}));

TEST(UpdateCheck, QuestionInBothLanguages) {
    EXPECT_EQ(kUpdateQuestion.in(Language::English), "Update new firmware？");
    EXPECT_EQ(kUpdateQuestion.in(Language::Chinese), "更新到新的固件吗？");
    EXPECT_EQ(kUpdateCaption.in(Language::Chinese), "固件更新");
}

}  // namespace
}  // namespace tavrik::appconfig
