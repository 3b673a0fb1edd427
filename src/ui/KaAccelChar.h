#pragma once

#include <string>
#include <string_view>

// Accelerator characters of captions: the character after a single "&"
// ("&&" stands for an "&" itself) is the key that clicks or focuses the
// control together with Alt, or alone where the focus takes no typing.

// The caption's accelerator, 0 when it has none.
char16_t AccelChar(std::u16string_view caption);

// True when `ch` is the caption's accelerator; letters match in either case.
bool IsAccel(char16_t ch, std::u16string_view caption);

// The caption with every "&" removed.
std::u16string RemoveAmpersands(std::u16string_view caption);
