#pragma once

// The numeric value of a text, as every redirector window reads numbers from its controls:
// the leading decimal number of the text (leading blanks skipped, an optional sign and
// fraction allowed, no exponent); 0 when the text does not start with one.

#include <QString>

// "12.6abc" -> 12.6, "  -3" -> -3, "abc" -> 0, ".5" -> 0.5; a number too large for a double
// gives infinity with its sign.
double numericValue(QStringView text);

// numericValue rounded to the nearest integer, halves to the even neighbour ("2.5" -> 2,
// "3.5" -> 4), and clamped to the range of int so that huge numbers stay huge.
int integerValue(QStringView text);
