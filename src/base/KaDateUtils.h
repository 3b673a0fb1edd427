#pragma once

#include "base/KaDateTime.h"

#include <string>
#include <string_view>

// The 17-digit time stamp YYYYMMDDhhmmsszzz of the file list; a zero date-time
// is "00000000000000000".
std::string DateTimeToStamp(TDateTime value);
// Raises EConvertError for a part that is no number or parts that form no date.
TDateTime StampToDateTime(std::string_view text);
