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

// Every pass handles the first marker of the text, as if the text were
// searched from its start each time. The text ahead of a marker holds none
// and is final (but for a "$" that a value starting with "(" completes), so
// it goes to `out` at once; the rest waits reversed in `rest`, where taking
// the next character and putting a value in front of it cost only what they
// move. So a text of many markers, or a value that grows on every pass, costs
// time in proportion to the result rather than to its square.
std::u16string SubstituteMarkers(std::u16string_view text, const INameValueTree& texts) {
  std::u16string out;
  std::u16string rest(text.rbegin(), text.rend()); // rest.back() comes next
  size_t trailing = 0;                             // "]" of unclosed markers, after all of rest
  // The nearest ")" or "]" ahead as last found (an index of rest, npos: none
  // but the trailing ones), and from which index up rest is still unsearched.
  size_t knownClose = std::u16string::npos;
  size_t searchedBelow = 0;
  auto shrunk = [&] {
    if (knownClose != std::u16string::npos && knownClose >= rest.size())
      searchedBelow = 0; // the close that was found has gone
    searchedBelow = std::min(searchedBelow, rest.size());
  };
  int substitutions = 0;
  for (;;) {
    while (!rest.empty() &&
           !(rest.back() == u'$' && rest.size() >= 2 && rest[rest.size() - 2] == u'(')) {
      out += rest.back();
      rest.pop_back();
    }
    if (rest.empty())
      break;
    rest.resize(rest.size() - 2);
    shrunk();
    // A key runs to the first ")", which the marker consumes. It also stops at
    // a "]" left by an earlier bracketed missing key, which stays: so a marker
    // nested in a missing one is still resolved ("$($(OK))" reads the key OK
    // on its second pass) instead of swallowing the bracket.
    size_t close = std::u16string::npos;
    bool found = false;
    for (size_t i = rest.size(); i > searchedBelow && !found;)
      if (rest[--i] == u')' || rest[i] == u']')
        close = i, found = true;
    if (!found && searchedBelow > 0)
      close = knownClose;
    const size_t keyLength = close == std::u16string::npos ? rest.size() : rest.size() - 1 - close;
    const bool paren = close != std::u16string::npos && rest[close] == u')';
    // Past the bound every marker left is treated as a missing key, and so is
    // a key longer than any a table holds.
    const TNameValuePair* value = nullptr;
    if (substitutions < MaxSubstitutions && keyLength <= LongestKey) {
      std::u16string key(rest.rbegin(), rest.rbegin() + static_cast<std::ptrdiff_t>(keyLength));
      value = texts.Find(key);
    }
    if (value) {
      rest.resize(rest.size() - keyLength - (paren ? 1 : 0));
      shrunk();
      rest.append(value->Value.rbegin(), value->Value.rend());
      ++substitutions;
      if (!out.empty() && out.back() == u'$') {
        out.pop_back();
        rest.push_back(u'$');
      }
      continue;
    }
    out += u"$[";
    if (paren) {
      rest[close] = u']';
      knownClose = close;
    } else if (close != std::u16string::npos) {
      rest.insert(close + 1, 1, u']');
      knownClose = close + 1;
    } else {
      ++trailing;
      knownClose = std::u16string::npos;
    }
    // The key holds no ")" or "]": markers inside it end where it ends.
    searchedBelow = rest.size();
  }
  out.append(trailing, u']');
  return out;
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
