// How the program reads numbers out of text: file length lines, the port answer, delay and wait fields.
#pragma once

#include <QStringView>

#include <optional>

namespace platform {

// True when the text, apart from blanks around it, is one number: an optional sign, digits with
// at most one decimal point, and an optional exponent ("e" or "E", optional sign, digits).
bool isNumericText(QStringView text);

// The number at the start of the text, after leading blanks, read up to the first character that
// cannot continue it; 0 when the text does not start with a number. Too large gives infinity.
double leadingNumberValue(QStringView text);

// Nearest whole number; a half goes to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfToEven(double value);

// The value rounded half to even, when that whole number lies in lowest..highest.
[[nodiscard]] std::optional<int> wholeNumberWithin(double value, int lowest, int highest);

} // namespace platform
