// The answer of the "DCF-Limit..." input box.
#include <gtest/gtest.h>

#include "prover/program.h"

namespace velmoran::testing {
namespace {

TEST(DcfLimitAnswer, StoresAtLeastOneCancelGivesFiveNonNumberKeepsTheLimit) {
  TPLProgram p;
  EXPECT_EQ(p.DcfLimit, 10);

  EXPECT_EQ(SetDcfLimitFromAnswer(p, "0"), std::nullopt);
  EXPECT_EQ(p.DcfLimit, 1);
  EXPECT_EQ(SetDcfLimitFromAnswer(p, "7"), std::nullopt);
  EXPECT_EQ(p.DcfLimit, 7);
  EXPECT_EQ(SetDcfLimitFromAnswer(p, "-3"), std::nullopt);
  EXPECT_EQ(p.DcfLimit, 1);
  EXPECT_EQ(SetDcfLimitFromAnswer(p, std::nullopt), std::nullopt);  // Cancel
  EXPECT_EQ(p.DcfLimit, 5);

  p.DcfLimit = 7;
  for (const char* bad : {"abc", "", "7x", "2.5"}) {
    auto failure = SetDcfLimitFromAnswer(p, bad);
    ASSERT_TRUE(failure.has_value()) << '"' << bad << '"';
    EXPECT_FALSE(failure->empty());
    EXPECT_EQ(p.DcfLimit, 7) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace velmoran::testing
