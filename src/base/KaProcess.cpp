#include "base/KaProcess.h"

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t i = 0, n = commandLine.size();
  auto blank = [&](size_t k) { return commandLine[k] == ' ' || commandLine[k] == '\t'; };

  // The program name: up to the next blank, or between quotes; no escapes.
  while (i < n && blank(i))
    ++i;
  if (i >= n)
    return args;
  std::string name;
  if (commandLine[i] == '"') {
    ++i;
    while (i < n && commandLine[i] != '"')
      name += commandLine[i++];
    if (i < n)
      ++i;
  } else {
    while (i < n && !blank(i))
      name += commandLine[i++];
  }
  args.push_back(name);

  // The arguments: backslashes are literal unless they precede a quote; 2n
  // backslashes and a quote give n backslashes and toggle quoting, 2n+1 give n
  // backslashes and a literal quote; "" inside quotes is a literal quote.
  for (;;) {
    while (i < n && blank(i))
      ++i;
    if (i >= n)
      break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !blank(i))) {
      if (commandLine[i] == '\\') {
        size_t slashes = 0;
        while (i < n && commandLine[i] == '\\')
          ++slashes, ++i;
        if (i < n && commandLine[i] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(slashes, '\\');
        }
      } else if (commandLine[i] == '"') {
        if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += commandLine[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}
