// Numbers as the dialogs read them: decimal with an optional sign after any
// leading blanks, up to the first other character; text that does not start
// with a number reads as 0.
#pragma once

#include <cstdint>
#include <string>

namespace qshe {

// Values beyond what 32 bits hold stay at the nearest bound, so a long row of
// digits is out of every range instead of wrapping into one.
int32_t ParseDialogNumber(const std::string& text);
// True when the text is exactly a number (sign and digits, nothing else).
bool IsWholeNumber(const std::string& text);
// The text without the blanks before and after it.
std::string TrimBlanks(const std::string& text);

}  // namespace qshe
