// Number texts: degrees and reals with 15 significant digits, solving times with two decimals,
// and "." as the decimal separator whatever the process locale says.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <locale>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "logic/number_format.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

TEST(FormatReal, FifteenSignificantDigitsFixedOrExponent) {
  const struct {
    long double value;
    const char* text;
  } cases[] = {
      {0.0L, "0"},
      {-0.0L, "0"},
      {1.0L, "1"},
      {0.80L, "0.8"},
      {0.9L + 0.8L - 1.0L, "0.7"},
      {0.1L + 0.7L, "0.8"},
      {0.999999999999999999L, "1"},
      {1.0L / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},
      {-0.25L, "-0.25"},
      {123456.5L, "123456.5"},
      {0.0001L, "0.0001"},
      {0.000123456L, "0.000123456"},
      {0.00005L, "5E-5"},
      {-0.00005L, "-5E-5"},
      {1.5e-7L, "1.5E-7"},
      {1e-20L, "1E-20"},
      {999999999999999.0L, "999999999999999"},
      {1e15L, "1E15"},
      {1234567890123456.0L, "1.23456789012346E15"},
      {2.5e20L, "2.5E20"},
      {1e100L, "1E100"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << c.text;
  std::string s = "deg:";
  AppendReal(s, 0.5L);
  EXPECT_EQ(s, "deg:0.5");
}

TEST(FormatSolvingTime, TwoDecimalsAfterSevenSignificantDigits) {
  EXPECT_EQ(FormatSolvingTime(0.05), "0.05");
  EXPECT_EQ(FormatSolvingTime(12.4), "12.40");
  EXPECT_EQ(FormatSolvingTime(1012.4 - 1000.0), "12.40");
  EXPECT_EQ(FormatSolvingTime(0), "0.00");
  EXPECT_EQ(FormatSolvingTime(3), "3.00");
  EXPECT_EQ(FormatSolvingTime(0.123), "0.12");
  EXPECT_EQ(FormatSolvingTime(0.0049), "0.00");
  // 123456.785 is 123456.8 at seven digits before it gets its two decimals.
  EXPECT_EQ(FormatSolvingTime(123456.785), "123456.80");
  EXPECT_EQ(FormatSolvingTime(1234567.4), "1234567.00");
}

TEST(ParseReal, PointSeparatedLiteralsOnly) {
  EXPECT_EQ(ParseReal("2.5"), 2.5L);
  EXPECT_EQ(ParseReal(" 0.75 "), 0.75L);
  EXPECT_EQ(ParseReal("1e-3"), 1e-3L);
  EXPECT_EQ(ParseReal("1E15"), 1e15L);
  EXPECT_EQ(ParseReal("0,5"), std::nullopt);
  EXPECT_EQ(ParseReal("1.5x"), std::nullopt);
  EXPECT_EQ(ParseReal("abc"), std::nullopt);
  EXPECT_EQ(ParseReal(""), std::nullopt);
}

// Switches the whole process to a locale whose decimal separator is a comma, for one test.
class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                             "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
      try {
#if defined(__SANITIZE_ADDRESS__)
        // The C library keeps a few bytes of every named locale it loads for good.
        __lsan::ScopedDisabler libraryKeepsLocaleData;
#endif
        std::locale::global(std::locale(name));  // also sets the C locale
      } catch (const std::exception&) {
        continue;
      }
      if (std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        name_ = name;
        return;
      }
      Restore();
    }
  }
  ~CommaLocale() {
    Restore();
  }
  const char* Name() const {
    return name_;
  }

 private:
  static void Restore() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
  }
  const char* name_ = nullptr;
};

TEST(NumberLocale, CommaLocaleChangesNoNumberText) {
  CommaLocale locale;
  if (!locale.Name()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  SCOPED_TRACE(locale.Name());

  EXPECT_EQ(FormatReal(0.5L), "0.5");
  EXPECT_EQ(FormatReal(0.00005L), "5E-5");
  EXPECT_EQ(FormatReal(0.9L + 0.8L - 1.0L), "0.7");
  EXPECT_EQ(FormatSolvingTime(12.4), "12.40");
  EXPECT_EQ(ParseReal("0.25"), 0.25L);
  EXPECT_EQ(ParseReal("0,25"), std::nullopt);

  Fixture fx;
  auto r = fx.Parse("p(2.5, 1234567) : 0.75;");
  ASSERT_TRUE(r) << "error " << int(fx.Program->ErrorCode);
  EXPECT_EQ(r->Degree, 0.75L);
  EXPECT_EQ(Utf8(FormulaText(*r)), "p(2.5, 1234567):0.75; ");
}

}  // namespace
}  // namespace velmoran::testing
