#pragma once

#include "i18n/KaTranslator.h"

#include <mutex>
#include <vector>

// At most this many values are put into one text. A value that leads back to
// its own key (directly or through other keys) would otherwise be expanded
// for ever; once the bound is reached, the markers still left are shown in
// the bracketed form of a missing key, so the cycle shows where it is.
inline constexpr int MaxSubstitutions = 1000;
// No table holds a longer key; a longer one is not looked up but bracketed.
inline constexpr size_t LongestKey = 1024;

// Replaces the markers of a text by the table's values, pass by pass from the
// start of the text, so that markers inside values are expanded as well.
std::u16string SubstituteMarkers(std::u16string_view text, const INameValueTree& texts);

template <class I> class TTextPair : public I {
public:
  std::u16string GetFirst() const override { return FFirst; }
  void SetFirst(std::u16string_view text) override { FFirst = text; }
  std::u16string GetSecond() const override { return FSecond; }
  void SetSecond(std::u16string_view text) override { FSecond = text; }

private:
  std::u16string FFirst;
  std::u16string FSecond;
};

using TMonth = TTextPair<IMonth>;
using TDay = TTextPair<IDay>;

class TLanguage : public ILanguage {
public:
  TLanguage();

  IMonthPtr GetMonth(int32_t index) const override;
  IDayPtr GetDay(int32_t index) const override;
  std::string GetCode() const override { return FCode; }
  void SetCode(std::string_view code) override { FCode = code; }
  std::u16string GetName() const override { return FName; }
  void SetName(std::u16string_view name) override { FName = name; }
  void AddText(std::u16string_view key, std::u16string_view value) override;
  void AddDay(std::u16string_view a, std::u16string_view b) override;
  void AddMonth(std::u16string_view a, std::u16string_view b) override;
  std::u16string Translate(std::u16string_view text) const override;

  const INameValueTree& GetTexts() const { return *FTexts; }

private:
  std::string FCode;
  std::u16string FName;
  INameValueTreePtr FTexts;
  std::vector<IMonthPtr> FMonths;
  std::vector<IDayPtr> FDays;
};

class TTranslator : public ITranslator {
public:
  int32_t GetCount() const override;
  ILanguagePtr GetLanguage(int32_t index) const override;
  int32_t AddListener(ITranslatable* listener) override;
  int32_t RemoveListener(ITranslatable* listener) override;
  void Clear() override;
  ILanguagePtr AddLanguage(std::string_view code) override;
  void AddText(std::string_view code, std::u16string_view key, std::u16string_view value) override;
  std::u16string Translate(std::u16string_view text) const override;
  void SetLanguage(std::u16string_view code) override;
  const TNameValuePair* FindIn(const INameValueTree& table, std::u16string_view key) const override;
  int32_t IndexOfCode(std::string_view code) const override;
  int32_t IndexOfName(std::string_view name) const override;
  ILanguagePtr GetCurrent() const override { return FCurrent; }

private:
  void NotifyListeners();

  // Re-entrant, so that a listener may register or remove listeners while it
  // is being notified.
  std::recursive_mutex FListenerLock;
  std::vector<ITranslatable*> FListeners;
  std::vector<ILanguagePtr> FLanguages;
  ILanguagePtr FCurrent;
};
