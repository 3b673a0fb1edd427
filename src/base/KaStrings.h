#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// 8-bit text functions of the data formats. Positions are 1-based; comparisons
// are byte for byte unless the name says otherwise.

std::string Escape(std::string_view text);
std::string Unescape(std::string_view text);

int LastPos(std::string_view separator, std::string_view text);
std::string CopyBeforeFirst(std::string_view separator, std::string_view text);
std::string CopyAfterFirst(std::string_view separator, std::string_view text);
std::string CopyBeforeLast(std::string_view separator, std::string_view text);
std::string CopyAfterLast(std::string_view separator, std::string_view text);
std::string SplitFirst(std::string_view separator, std::string& text);
bool EndsWithChar(char c, std::string_view text);
std::string KeepChars(std::string_view text, std::string_view allowed);

std::string AddBackslash(std::string_view path);
std::string ExtractDir(std::string_view fileName);

// Removes leading and trailing characters with codes 0 to 32.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// ASCII letter case, as the platform's LowerCase/UpperCase and SameText.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

// Wildcard match of a file name against a mask ("*" any run, "?" one
// character), ignoring letter case, as the directory search matches names.
bool MatchesMask(std::string_view name, std::string_view mask);

// Decimal conversions with the platform's wording of EConvertError:
// "'abc' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
bool TryStrToInt64(std::string_view text, int64_t& value);
std::string IntToStr(int64_t value);

// The platform's Format for texts: "%s" takes the next argument, "%1:s" the
// argument of that index (and the ones after it continue from there), "-",
// a width and a "." precision (the most characters taken) may stand before
// the "s", and "%%" is a "%". Any other specifier, or an argument index out
// of range, raises EConvertError "Format '<format>' invalid or incompatible
// with argument". The arguments are inserted as they are: a "%" in one is
// plain text.
std::string Format(std::string_view format, const std::vector<std::string>& args);

// Cuts a text into lines at CR LF, CR or LF; a final line end makes no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Standard base64 (RFC 4648, with "=" padding), as HTTP Basic credentials
// are written.
std::string Base64Encode(std::string_view data);
