#pragma once

#include "base/KaExceptions.h"
#include "i18n/KaRBTree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The languages of the program, each with its table of texts, and the current
// one. Texts shown to the user carry markers, "$(" key ")", which Translate
// replaces by the current language's values whenever the text is drawn; a key
// without a text shows as "$[" key "]".

KA_DECLARE_EXCEPTION(ETranslator, Exception);

// Implemented by every control that shows translated texts: it is told when
// the current language changes so that it can show its texts again.
class ITranslatable {
public:
  virtual ~ITranslatable() = default;
  virtual void LanguageChanged() = 0;
};

// Two texts kept per language for date display (a month's or a day's names).
class ITextPair {
public:
  virtual ~ITextPair() = default;
  virtual std::u16string GetFirst() const = 0;
  virtual void SetFirst(std::u16string_view text) = 0;
  virtual std::u16string GetSecond() const = 0;
  virtual void SetSecond(std::u16string_view text) = 0;
};

class IMonth : public ITextPair {};
class IDay : public ITextPair {};

using IMonthPtr = std::shared_ptr<IMonth>;
using IDayPtr = std::shared_ptr<IDay>;

class ILanguage {
public:
  virtual ~ILanguage() = default;
  virtual IMonthPtr GetMonth(int32_t index) const = 0;
  virtual IDayPtr GetDay(int32_t index) const = 0;
  virtual std::string GetCode() const = 0;
  virtual void SetCode(std::string_view code) = 0;
  virtual std::u16string GetName() const = 0;
  virtual void SetName(std::u16string_view name) = 0;
  // A key already present raises Exception with the key as its message.
  virtual void AddText(std::u16string_view key, std::u16string_view value) = 0;
  // The new entry's second text is a, its first text b.
  virtual void AddDay(std::u16string_view a, std::u16string_view b) = 0;
  virtual void AddMonth(std::u16string_view a, std::u16string_view b) = 0;
  virtual std::u16string Translate(std::u16string_view text) const = 0;
};

using ILanguagePtr = std::shared_ptr<ILanguage>;

class ITranslator {
public:
  virtual ~ITranslator() = default;
  virtual int32_t GetCount() const = 0;
  virtual ILanguagePtr GetLanguage(int32_t index) const = 0;
  // Listeners are not owned: a control removes itself before it goes.
  virtual int32_t AddListener(ITranslatable* listener) = 0;
  // The index the listener had, -1 if it was not registered.
  virtual int32_t RemoveListener(ITranslatable* listener) = 0;
  // Drops every language and the current one; listeners stay, unnotified.
  virtual void Clear() = 0;
  // Raises ETranslator for a code that IndexOfCode finds already.
  virtual ILanguagePtr AddLanguage(std::string_view code) = 0;
  // Drops the text when no language has that code.
  virtual void AddText(std::string_view code, std::u16string_view key,
                       std::u16string_view value) = 0;
  // With no current language the text comes back as it is, markers included.
  virtual std::u16string Translate(std::u16string_view text) const = 0;
  // Raises ETranslator for an unknown code. Notifies every listener, in
  // registration order, unless the language is current already.
  virtual void SetLanguage(std::u16string_view code) = 0;
  virtual const TNameValuePair* FindIn(const INameValueTree& table,
                                       std::u16string_view key) const = 0;
  // The query is lower-cased (A to Z only) and compared exactly with the
  // stored codes, so codes are registered in lower case.
  virtual int32_t IndexOfCode(std::string_view code) const = 0;
  virtual int32_t IndexOfName(std::string_view name) const = 0;
  virtual ILanguagePtr GetCurrent() const = 0;
};

using ITranslatorPtr = std::shared_ptr<ITranslator>;

// The single translator of the process, created on first use.
ITranslatorPtr Translator();

// Translate of the single translator.
std::u16string Translate(std::u16string_view text);
