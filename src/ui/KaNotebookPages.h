#pragma once

#include <string>
#include <string_view>
#include <vector>

// The pages of a notebook by name and which one is shown: the state behind
// TNotebook, without its windows.
class TNotebookPages {
public:
  int Count() const { return static_cast<int>(FNames.size()); }
  const std::string& Name(int index) const { return FNames.at(index); }

  // Appends a page and returns its index; the first page becomes current.
  int Add(std::string name);

  // The index of the page with that name, letters compared without case; -1
  // if there is none.
  int IndexOf(std::string_view name) const;

  // The current page, -1 while there are none.
  int Index() const { return FIndex; }

  // Makes page `index` current. True when the current page changed; an index
  // out of range or the current one changes nothing.
  bool Select(int index);

private:
  std::vector<std::string> FNames;
  int FIndex = -1;
};
