#include <gtest/gtest.h>

#include "properties/dialog_number.h"

using namespace qshe;

TEST(DialogNumber, ReadsASignedLeadingNumberAndZeroForAnythingElse) {
  struct Case {
    const char* text;
    int32_t value;
    bool whole;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", 0, false}, {"-", 0, false}, {"+7", 7, true}, {"-5", -5, true}, {"  12", 12, false},
           {"12abc", 12, false}, {"abc", 0, false}, {"--3", 0, false}, {"007", 7, true},
           {"2147483647", 2147483647, true}, {"2147483648", 2147483647, true},
           {"-99999999999999999999", INT32_MIN, true}}) {
    EXPECT_EQ(ParseDialogNumber(c.text), c.value) << c.text;
    EXPECT_EQ(IsWholeNumber(c.text), c.whole) << c.text;
  }
}

TEST(DialogNumber, BlanksAroundANumberAreTrimmedAndNothingElse) {
  EXPECT_EQ(TrimBlanks(" 33"), "33");
  EXPECT_EQ(TrimBlanks("\t-7 \n"), "-7");
  EXPECT_EQ(TrimBlanks("3 3"), "3 3");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks(""), "");
}
