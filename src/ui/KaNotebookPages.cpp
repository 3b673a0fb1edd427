#include "ui/KaNotebookPages.h"

#include "base/KaStrings.h"

int TNotebookPages::Add(std::string name) {
  FNames.push_back(std::move(name));
  if (FIndex < 0)
    FIndex = 0;
  return Count() - 1;
}

int TNotebookPages::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(FNames[i], name))
      return i;
  }
  return -1;
}

bool TNotebookPages::Select(int index) {
  if (index < 0 || index >= Count() || index == FIndex)
    return false;
  FIndex = index;
  return true;
}
