#include <gtest/gtest.h>

#include "support/theory.h"

namespace velmoran::testing {

TEST(Printing, SocratesRuleRoundTrips) {
  Fixture fx;
  auto r = fx.Parse("∀X [man(X) → mortal(X)];");
  ASSERT_TRUE(r);
  EXPECT_EQ(Utf8(r->Text), "∀X[man(X)→mortal(X)]");
}

}  // namespace velmoran::testing
