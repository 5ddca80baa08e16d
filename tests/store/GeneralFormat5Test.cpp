#include "store/GeneralFormat5.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(GeneralFormat5Test, PercentagesOfTheLogAndTheRecordDialog) {
  EXPECT_EQ(GeneralFormat5(100), "100.");
  EXPECT_EQ(GeneralFormat5(100.0 / 3), "33.333");
  EXPECT_EQ(GeneralFormat5(12.5), "12.5");
  EXPECT_EQ(GeneralFormat5(0.5), "0.5");
  EXPECT_EQ(GeneralFormat5(0.05), "5.e-002");
  EXPECT_EQ(GeneralFormat5(100.0 / 330000), "3.0303e-004");
  EXPECT_EQ(GeneralFormat5(0.000243000177), "2.43e-004");
  EXPECT_EQ(GeneralFormat5(0), "0.");
  EXPECT_EQ(GeneralFormat5(100.0 / 1000000), "1.e-004");
  EXPECT_EQ(GeneralFormat5(50), "50.");
  EXPECT_EQ(GeneralFormat5(2.0 * 100 / 600), "0.33333");
}

TEST(GeneralFormat5Test, FormFollowsTheExponentBeforeRounding) {
  EXPECT_EQ(GeneralFormat5(0.1), "0.1");
  EXPECT_EQ(GeneralFormat5(0.099999), "9.9999e-002");
  EXPECT_EQ(GeneralFormat5(99999.4), "99999.");
  EXPECT_EQ(GeneralFormat5(100000), "1.e+005");
  EXPECT_EQ(GeneralFormat5(12345.6), "12346.");
  EXPECT_EQ(GeneralFormat5(1e-300), "1.e-300");
  EXPECT_EQ(GeneralFormat5(1.5e300), "1.5e+300");
}

// A carry in the fixed form lengthens the whole part and keeps the places
// after the point; in the scientific form it raises the exponent.
TEST(GeneralFormat5Test, CarriesIntoANewDigit) {
  EXPECT_EQ(GeneralFormat5(9.99996), "10.");
  EXPECT_EQ(GeneralFormat5(99.9996), "100.");
  EXPECT_EQ(GeneralFormat5(0.999996), "1.");
  EXPECT_EQ(GeneralFormat5(99999.5), "100000.");
  EXPECT_EQ(GeneralFormat5(0.0999996), "1.e-001");
  EXPECT_EQ(GeneralFormat5(9.99996e-5), "1.e-004");
  EXPECT_EQ(GeneralFormat5(9.99995), "10.");
  EXPECT_EQ(GeneralFormat5(9.99994), "9.9999");
}

// These doubles lie just below the halfway point, but their 17-digit
// expansions end in 5000...: rounding that expansion half up goes up where
// rounding the exact binary value would go down.
TEST(GeneralFormat5Test, RoundsHalfUpOnTheSeventeenDigitExpansion) {
  EXPECT_EQ(GeneralFormat5(0.100005), "0.10001");
  EXPECT_EQ(GeneralFormat5(100.005), "100.01");
  EXPECT_EQ(GeneralFormat5(10.0025), "10.003");
  EXPECT_EQ(GeneralFormat5(0.0010001500000000000), "1.0002e-003");
}

TEST(GeneralFormat5Test, ValuesOutsideTheRangeStillGiveText) {
  EXPECT_EQ(GeneralFormat5(-0.5), "-0.5");
  EXPECT_EQ(GeneralFormat5(-0.0), "0.");
  EXPECT_EQ(GeneralFormat5(5e-324), "4.9407e-324");
}

}  // namespace
}  // namespace kestrum
