// The texts of one color_map entry: the position and the channel numbers.
#pragma once

#include "textfile/text.h"

namespace tintgrove {

// The first five characters of a position; a shorter one than four gets
// "00", or ".000" when it is a bare integer: seven characters at most. As
// text, or as bytes where those are characters.
TextPrefix<7> positionText(TextView position);
BytePrefix<7> positionText(ByteView position);

// The longest plain decimal prefix (white space, sign, digits, fraction,
// exponent) rounded to single precision; 0 without one. A colour code that
// is not in the table reads as this.
float readPlainDecimal(TextView text);

// The channel value of a channel integer, written with three decimals.
Text channelNumberText(float channelInteger);

}  // namespace tintgrove
