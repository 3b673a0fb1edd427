#include "base/KaStrings.h"

#include "base/KaExceptions.h"

#include <algorithm>
#include <charconv>

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
    case '\0': out += "\\0"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\x1a': out += "\\Z"; break;
    case '"': out += "\\\""; break;
    case '\'': out += "\\'"; break;
    case ',': out += "\\c"; break;
    case '\\': out += "\\\\"; break;
    default: out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    // A lone backslash at the very end has nothing to stand for and is dropped.
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == text.size())
      break;
    switch (text[i]) {
    case '0': out += '\0'; break;
    case 'n': out += '\n'; break;
    case 'r': out += '\r'; break;
    case 'Z': out += '\x1a'; break;
    case 'c': out += ','; break;
    default: out += text[i];
    }
  }
  return out;
}

int LastPos(std::string_view separator, std::string_view text) {
  if (separator.empty() || text.empty())
    return 0;
  size_t p = text.rfind(separator);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string CopyBeforeFirst(std::string_view separator, std::string_view text) {
  size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
  return std::string(p == std::string_view::npos ? text : text.substr(0, p));
}

std::string CopyAfterFirst(std::string_view separator, std::string_view text) {
  size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
  return p == std::string_view::npos ? std::string()
                                     : std::string(text.substr(p + separator.size()));
}

std::string CopyBeforeLast(std::string_view separator, std::string_view text) {
  int p = LastPos(separator, text);
  return std::string(p == 0 ? text : text.substr(0, p - 1));
}

std::string CopyAfterLast(std::string_view separator, std::string_view text) {
  int p = LastPos(separator, text);
  return p == 0 ? std::string() : std::string(text.substr(p - 1 + separator.size()));
}

std::string SplitFirst(std::string_view separator, std::string& text) {
  std::string head = CopyBeforeFirst(separator, text);
  text = CopyAfterFirst(separator, text);
  return head;
}

bool EndsWithChar(char c, std::string_view text) { return !text.empty() && text.back() == c; }

std::string KeepChars(std::string_view text, std::string_view allowed) {
  std::string out;
  for (char c : text)
    if (allowed.find(c) != std::string_view::npos)
      out += c;
  return out;
}

std::string AddBackslash(std::string_view path) {
  std::string out(path);
  if (!out.empty() && out.back() != '\\')
    out += '\\';
  return out;
}

std::string ExtractDir(std::string_view fileName) {
  size_t p = fileName.find_last_of("\\:");
  return AddBackslash(p == std::string_view::npos ? std::string_view() : fileName.substr(0, p + 1));
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string TrimLeft(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && IsBlank(text[b]))
    ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1]))
    --e;
  return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = Lower(c);
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = Upper(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i]))
      return false;
  return true;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  // Greedy match with one backtrack point: linear in practice, no recursion.
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
      ++m;
      ++n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  // "*.*" also matches names without a dot, as on the platform.
  if (m < mask.size() && mask.substr(m) == ".*")
    m = mask.size();
  return m == mask.size();
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ')
    t.remove_prefix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty())
    return false;
  uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude);
  if (ec != std::errc() || end != t.data() + t.size())
    return false;
  if (magnitude > (negative ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL))
    return false;
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

int64_t StrToInt64(std::string_view text) {
  int64_t v = 0;
  if (!TryStrToInt64(text, v))
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

int32_t StrToInt(std::string_view text) {
  int64_t v = 0;
  if (!TryStrToInt64(text, v) || v < INT32_MIN || v > INT32_MAX)
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(v);
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

namespace {

// A run of decimal digits at `i`, or -1 when there is none.
int ReadNumber(std::string_view text, size_t& i) {
  if (i >= text.size() || text[i] < '0' || text[i] > '9')
    return -1;
  int value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (value < 100000000)
      value = value * 10 + (text[i] - '0');
    ++i;
  }
  return value;
}

} // namespace

std::string Format(std::string_view format, const std::vector<std::string>& args) {
  auto invalid = [&] {
    return EConvertError("Format '" + std::string(format) +
                         "' invalid or incompatible with argument");
  };
  std::string out;
  size_t next = 0;
  size_t i = 0;
  while (i < format.size()) {
    char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < format.size() && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    int number = ReadNumber(format, i);
    if (number >= 0 && i < format.size() && format[i] == ':') {
      next = static_cast<size_t>(number);
      ++i;
      number = -1;
    }
    bool left = false;
    if (number < 0 && i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = number >= 0 ? number : ReadNumber(format, i);
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = ReadNumber(format, i);
      if (precision < 0)
        throw invalid();
    }
    if (i >= format.size() || (format[i] != 's' && format[i] != 'S') || next >= args.size())
      throw invalid();
    ++i;
    std::string value = args[next++];
    if (precision >= 0 && value.size() > static_cast<size_t>(precision))
      value.resize(static_cast<size_t>(precision));
    if (width > 0 && value.size() < static_cast<size_t>(width)) {
      std::string pad(static_cast<size_t>(width) - value.size(), ' ');
      value = left ? value + pad : pad + value;
    }
    out += value;
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      start = i + 1;
    }
  }
  if (start < text.size())
    lines.emplace_back(text.substr(start));
  return lines;
}

std::string Base64Encode(std::string_view data) {
  static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  for (size_t i = 0; i < data.size(); i += 3) {
    const size_t n = std::min<size_t>(3, data.size() - i);
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << 16;
    if (n > 1)
      group |= static_cast<uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8;
    if (n > 2)
      group |= static_cast<unsigned char>(data[i + 2]);
    out += Digits[(group >> 18) & 63];
    out += Digits[(group >> 12) & 63];
    out += n > 1 ? Digits[(group >> 6) & 63] : '=';
    out += n > 2 ? Digits[group & 63] : '=';
  }
  return out;
}
