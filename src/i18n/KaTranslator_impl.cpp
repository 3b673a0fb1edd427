#include "i18n/KaTranslator_impl.h"

#include "base/KaStrings.h"
#include "base/KaText.h"

#include <algorithm>

namespace {

constexpr std::u16string_view MarkerStart = u"$(";

template <class T> const T& ItemAt(const std::vector<T>& list, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size())
    throw ETranslator("List index out of bounds (" + IntToStr(index) + ")");
  return list[static_cast<size_t>(index)];
}

// Turns the marker at `start` into "$[" key "]": the same length, or one more
// when the marker is unclosed and its key runs to the end.
// Turns the marker at `start`, whose key ends at `keyEnd` and whose closing
// ")" (if any) ends before `restStart`, into "$[" key "]".
void BracketMarker(std::u16string& text, size_t start, size_t keyEnd, size_t restStart) {
  text[start + 1] = u'[';
  text.replace(keyEnd, restStart - keyEnd, u"]");
}

// The first language in registration order that matches, -1 if none does.
template <class Matches>
int32_t IndexWhere(const std::vector<ILanguagePtr>& languages, Matches matches) {
  for (size_t i = 0; i < languages.size(); ++i) {
    if (matches(*languages[i]))
      return static_cast<int32_t>(i);
  }
  return -1;
}

} // namespace

// Every pass handles the first marker of the text. The search need not start
// at the beginning each time: the text ahead of a marker holds none, and
// neither a bracketed form nor a value can make one appear earlier than one
// character ahead of where the marker stood.
std::u16string SubstituteMarkers(std::u16string_view text, const INameValueTree& texts) {
  std::u16string t(text);
  int substitutions = 0;
  for (size_t from = 0;;) {
    size_t start = t.find(MarkerStart, from);
    if (start == std::u16string::npos)
      return t;
    size_t keyStart = start + MarkerStart.size();
    // A key runs to the first ")", which the marker consumes. It also stops at
    // a "]" left by an earlier bracketed missing key, which stays: so a marker
    // nested in a missing one is still resolved ("$($(OK))" reads the key OK on
    // its second pass) instead of swallowing the bracket.
    size_t close = t.find_first_of(u")]", keyStart);
    size_t keyEnd = close == std::u16string::npos ? t.size() : close;
    size_t restStart =
        close == std::u16string::npos ? t.size() : close + (t[close] == u')' ? 1 : 0);
    // Past the bound every marker left is treated as a missing key.
    const TNameValuePair* found =
        substitutions < MaxSubstitutions
            ? texts.Find(std::u16string_view(t).substr(keyStart, keyEnd - keyStart))
            : nullptr;
    if (found) {
      t.replace(start, restStart - start, found->Value);
      ++substitutions;
      from = start > 0 ? start - 1 : 0;
    } else {
      BracketMarker(t, start, keyEnd, restStart);
      from = start + 2;
    }
  }
}

TLanguage::TLanguage() : FTexts(std::make_shared<TNameValueTree>()) {}

IMonthPtr TLanguage::GetMonth(int32_t index) const { return ItemAt(FMonths, index); }

IDayPtr TLanguage::GetDay(int32_t index) const { return ItemAt(FDays, index); }

void TLanguage::AddText(std::u16string_view key, std::u16string_view value) {
  FTexts->Add(key, value);
}

namespace {

template <class TItem, class IPtr>
void AddTextPair(std::vector<IPtr>& list, std::u16string_view a, std::u16string_view b) {
  auto item = std::make_shared<TItem>();
  item->SetSecond(a);
  item->SetFirst(b);
  list.push_back(std::move(item));
}

} // namespace

void TLanguage::AddDay(std::u16string_view a, std::u16string_view b) {
  AddTextPair<TDay>(FDays, a, b);
}

void TLanguage::AddMonth(std::u16string_view a, std::u16string_view b) {
  AddTextPair<TMonth>(FMonths, a, b);
}

std::u16string TLanguage::Translate(std::u16string_view text) const {
  return SubstituteMarkers(text, *FTexts);
}

int32_t TTranslator::GetCount() const { return static_cast<int32_t>(FLanguages.size()); }

ILanguagePtr TTranslator::GetLanguage(int32_t index) const { return ItemAt(FLanguages, index); }

int32_t TTranslator::AddListener(ITranslatable* listener) {
  std::lock_guard lock(FListenerLock);
  FListeners.push_back(listener);
  return static_cast<int32_t>(FListeners.size() - 1);
}

int32_t TTranslator::RemoveListener(ITranslatable* listener) {
  std::lock_guard lock(FListenerLock);
  auto it = std::find(FListeners.begin(), FListeners.end(), listener);
  if (it == FListeners.end())
    return -1;
  int32_t index = static_cast<int32_t>(it - FListeners.begin());
  FListeners.erase(it);
  return index;
}

void TTranslator::Clear() {
  FCurrent.reset();
  FLanguages = {};
}

ILanguagePtr TTranslator::AddLanguage(std::string_view code) {
  if (IndexOfCode(code) >= 0)
    throw ETranslator("Language \"" + std::string(code) + "\" already exists!");
  auto language = std::make_shared<TLanguage>();
  language->SetCode(code);
  FLanguages.push_back(language);
  return language;
}

void TTranslator::AddText(std::string_view code, std::u16string_view key,
                          std::u16string_view value) {
  int32_t index = IndexOfCode(code);
  if (index >= 0)
    FLanguages[static_cast<size_t>(index)]->AddText(key, value);
}

std::u16string TTranslator::Translate(std::u16string_view text) const {
  return FCurrent ? FCurrent->Translate(text) : std::u16string(text);
}

void TTranslator::SetLanguage(std::u16string_view code) {
  std::string narrow = FromWide(code);
  int32_t index = IndexOfCode(narrow);
  if (index < 0)
    throw ETranslator("Language \"" + narrow + "\" does not exist!");
  const ILanguagePtr& language = FLanguages[static_cast<size_t>(index)];
  if (language == FCurrent)
    return;
  FCurrent = language;
  NotifyListeners();
}

// The listeners are those registered when the notification starts, in that
// order. A listener may remove itself or others meanwhile (a control that goes
// away while texts are redrawn): one removed before its turn is skipped, never
// called after it has gone, and none is skipped because the list moved up.
void TTranslator::NotifyListeners() {
  std::lock_guard lock(FListenerLock);
  const std::vector<ITranslatable*> listeners = FListeners;
  for (ITranslatable* listener : listeners) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
      listener->LanguageChanged();
  }
}

const TNameValuePair* TTranslator::FindIn(const INameValueTree& table,
                                          std::u16string_view key) const {
  return table.Find(key);
}

int32_t TTranslator::IndexOfCode(std::string_view code) const {
  std::string query = LowerCase(code);
  return IndexWhere(FLanguages,
                    [&](const ILanguage& language) { return language.GetCode() == query; });
}

int32_t TTranslator::IndexOfName(std::string_view name) const {
  std::u16string wide = ToWide(name);
  return IndexWhere(FLanguages,
                    [&](const ILanguage& language) { return language.GetName() == wide; });
}
