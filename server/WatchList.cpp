#include "server/WatchList.h"

TWatchList::~TWatchList() {
  while (FFirst)
    Remove(*FFirst);
}

void TWatchList::Add(TWatched& item) {
  if (item.FList)
    item.FList->Remove(item);
  item.FList = this;
  item.FPrevious = nullptr;
  item.FNext = FFirst;
  if (FFirst)
    FFirst->FPrevious = &item;
  FFirst = &item;
  ++FSize;
}

void TWatchList::Remove(TWatched& item) {
  if (item.FList != this)
    return;
  if (item.FPrevious)
    item.FPrevious->FNext = item.FNext;
  else
    FFirst = item.FNext;
  if (item.FNext)
    item.FNext->FPrevious = item.FPrevious;
  item.FList = nullptr;
  item.FPrevious = item.FNext = nullptr;
  --FSize;
}

void TWatchList::LookAll(TClock::time_point now) {
  for (TWatched* item = FFirst; item;) {
    TWatched* next = item->FNext;
    item->Look(now);
    item = next;
  }
}
