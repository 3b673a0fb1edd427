#include "i18n/KaTranslator.h"

#include "base/KaText.h"
#include "i18n/KaTranslator_impl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace {

std::u16string W(std::string_view text) { return Utf8ToWide(text); }

std::u16string Repeat(std::u16string_view piece, int count) {
  std::u16string out;
  for (int i = 0; i < count; ++i)
    out += piece;
  return out;
}

// The table of the examples: Next -> Volgende, OK -> Bevestigen.
class Substitution : public ::testing::Test {
protected:
  void SetUp() override {
    language.AddText(u"Next", u"Volgende");
    language.AddText(u"OK", u"Bevestigen");
  }
  std::u16string T(std::string_view text) { return language.Translate(W(text)); }
  TLanguage language;
};

class Listener : public ITranslatable {
public:
  explicit Listener(std::function<void()> onChange = {}) : OnChange(std::move(onChange)) {}
  void LanguageChanged() override {
    ++Calls;
    if (OnChange)
      OnChange();
  }
  int Calls = 0;
  std::function<void()> OnChange;
};

class Translation : public ::testing::Test {
protected:
  void SetUp() override {
    translator.AddLanguage("nl")->SetName(u"Nederlands");
    translator.AddLanguage("en")->SetName(u"English");
    translator.AddText("nl", u"Next", u"Volgende");
    translator.AddText("en", u"Next", u"Next");
  }
  TTranslator translator;
};

// Runs `action` on another thread and tells whether it finished in time; a
// thread left blocked is detached so that the test can report instead of hang.
bool FinishesOnOtherThread(std::function<void()> action) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread worker([done, action] {
    action();
    done->set_value();
  });
  if (finished.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    worker.detach();
    return false;
  }
  worker.join();
  return true;
}

} // namespace

TEST_F(Substitution, ExamplesOfTheMarkerRules) {
  EXPECT_EQ(T("$(Next)"), u"Volgende");
  EXPECT_EQ(T("$(Internet Settings)..."), u"$[Internet Settings]...");
  EXPECT_EQ(T("Press $(OK) or $(Next)"), u"Press Bevestigen or Volgende");
  EXPECT_EQ(T("$(Next"), u"Volgende");
  EXPECT_EQ(T("$()"), u"$[]");
  // The outer key runs to the first ")", so it is "$(OK" and missing: "$[$(OK])".
  // The inner marker's key then stops at the bracket and is found.
  EXPECT_EQ(T("$($(OK))"), u"$[Bevestigen])");
  EXPECT_EQ(T("$(x $(OK) y)"), u"$[x Bevestigen] y)");
  EXPECT_EQ(T("$($(nothing))"), u"$[$[nothing]])");
  EXPECT_EQ(T("$(next) $(NEXT)"), u"$[next] $[NEXT]");
  EXPECT_EQ(T("Go $(Next now"), u"Go $[Next now]");
}

TEST_F(Substitution, TextsWithoutMarkersAndBracketedFormsStayAsTheyAre) {
  for (const char* text : {"", "Next", "$", "a $ b", "$[Next]", "(Next)", "$ (Next)", "$$[x]$"})
    EXPECT_EQ(T(text), W(text)) << text;
  std::u16string missing = T("A $(missing key) and $(other");
  EXPECT_EQ(missing, u"A $[missing key] and $[other]");
  EXPECT_EQ(language.Translate(missing), missing);
}

TEST_F(Substitution, MarkersInsideValuesAreExpandedToo) {
  language.AddText(u"both", u"$(OK)/$(Next)");
  language.AddText(u"deep", u"[$(both)]");
  language.AddText(u"paren", u"(OK)");
  language.AddText(u"dollar", u"x$");
  EXPECT_EQ(T("$(deep)!"), u"[Bevestigen/Volgende]!");
  // Markers that only appear once a value stands beside the text ahead of it.
  EXPECT_EQ(T("$$(paren)"), u"Bevestigen");
  EXPECT_EQ(T("$(dollar)(Next)$(dollar)(none)"), u"xVolgendex$[none]");
}

// Texts a server may send (an error text, a shortcut's name) are long and
// full of markers; each marker costs what it moves, not the text behind it.
TEST_F(Substitution, LongTextsOfManyMarkersAreTranslatedWhole) {
  const int n = 200000;
  std::u16string many = language.Translate(Repeat(u"$(Next)", n));
  EXPECT_TRUE(many ==
              Repeat(u"Volgende", MaxSubstitutions) + Repeat(u"$[Next]", n - MaxSubstitutions))
      << many.size();
  std::u16string nested = language.Translate(Repeat(u"$(", n) + u"x");
  EXPECT_TRUE(nested == Repeat(u"$[", n) + u"x" + Repeat(u"]", n)) << "unclosed markers nest";
  std::u16string closed = language.Translate(Repeat(u"$(a]", n));
  EXPECT_TRUE(closed == Repeat(u"$[a]]", n)) << closed.substr(0, 40).size();
  std::u16string longKey = u"$(" + Repeat(u"k", static_cast<int>(LongestKey) + 1) + u")";
  EXPECT_EQ(language.Translate(longKey), u"$[" + longKey.substr(2, LongestKey + 1) + u"]");
}

TEST_F(Substitution, CyclesStopAtTheBound) {
  language.AddText(u"self", u"$(self)");
  language.AddText(u"grow", u"x$(grow)");
  language.AddText(u"twice", u"$(twice)$(twice)");
  language.AddText(u"ping", u"p$(pong)");
  language.AddText(u"pong", u"q$(ping)");

  EXPECT_EQ(T("$(self)"), u"$[self]");
  EXPECT_EQ(T("<$(grow)>"), u"<" + Repeat(u"x", MaxSubstitutions) + u"$[grow]>");
  EXPECT_EQ(T("$(twice)"), Repeat(u"$[twice]", MaxSubstitutions + 1));
  std::u16string pingPong = T("$(ping) $(OK)");
  EXPECT_EQ(pingPong, Repeat(u"pq", MaxSubstitutions / 2) + u"$[ping] $[OK]");
  // What the bound stops is left as a missing key would be: stable.
  EXPECT_EQ(language.Translate(pingPong), pingPong);

  // A long text of plain markers is not cut short.
  EXPECT_EQ(language.Translate(Repeat(u"$(OK) $(gap) ", MaxSubstitutions)),
            Repeat(u"Bevestigen $[gap] ", MaxSubstitutions));
}

TEST(Language, DaysAndMonthsTakeTheirTextsSwapped) {
  TLanguage language;
  language.AddDay(u"ma", u"maandag");
  language.AddMonth(u"jan", u"januari");
  EXPECT_EQ(language.GetDay(0)->GetSecond(), u"ma");
  EXPECT_EQ(language.GetDay(0)->GetFirst(), u"maandag");
  EXPECT_EQ(language.GetMonth(0)->GetSecond(), u"jan");
  EXPECT_EQ(language.GetMonth(0)->GetFirst(), u"januari");
  EXPECT_THROW(language.GetDay(1), ETranslator);
  EXPECT_THROW(language.GetMonth(-1), ETranslator);
}

TEST_F(Translation, NothingIsTranslatedBeforeALanguageIsSet) {
  EXPECT_EQ(translator.GetCurrent(), nullptr);
  EXPECT_EQ(translator.Translate(u"$(Next)"), u"$(Next)");
  translator.SetLanguage(u"nl");
  EXPECT_EQ(translator.Translate(u"$(Next)"), u"Volgende");
  translator.SetLanguage(u"en");
  EXPECT_EQ(translator.Translate(u"$(Next) $(Cancel)"), u"Next $[Cancel]");
}

TEST_F(Translation, LanguagesByIndexCodeAndName) {
  ASSERT_EQ(translator.GetCount(), 2);
  EXPECT_EQ(translator.GetLanguage(0)->GetCode(), "nl");
  EXPECT_EQ(translator.GetLanguage(1)->GetName(), u"English");
  EXPECT_THROW(translator.GetLanguage(2), ETranslator);
  EXPECT_EQ(translator.IndexOfCode("en"), 1);
  EXPECT_EQ(translator.IndexOfCode("EN"), 1);
  EXPECT_EQ(translator.IndexOfCode("En"), 1);
  EXPECT_EQ(translator.IndexOfCode("de"), -1);
  EXPECT_EQ(translator.IndexOfName("Nederlands"), 0);
  EXPECT_EQ(translator.IndexOfName("english"), -1);

  // A code registered in capitals is never found again.
  translator.AddLanguage("DE");
  EXPECT_EQ(translator.GetCount(), 3);
  EXPECT_EQ(translator.IndexOfCode("DE"), -1);
  EXPECT_THROW(translator.SetLanguage(u"DE"), ETranslator);
}

TEST_F(Translation, DuplicateLanguagesAndTexts) {
  ILanguagePtr dutch = translator.GetLanguage(0);
  try {
    translator.AddLanguage("NL");
    FAIL() << "second language with the code nl accepted";
  } catch (const ETranslator& e) {
    EXPECT_EQ(e.Message(), "Language \"NL\" already exists!");
  }
  EXPECT_EQ(translator.GetCount(), 2);
  EXPECT_EQ(translator.GetLanguage(0), dutch);
  EXPECT_EQ(dutch->GetName(), u"Nederlands");

  try {
    translator.AddText("nl", u"Next", u"Verder");
    FAIL() << "duplicate text accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Next");
  }
  translator.AddText("de", u"Next", u"Weiter");
  translator.AddText("NL", u"Previous", u"Vorige");
  translator.SetLanguage(u"nl");
  EXPECT_EQ(translator.Translate(u"$(Next) $(Previous)"), u"Volgende Vorige");
}

TEST_F(Translation, SetLanguageNotifiesInOrderOnlyOnAChange) {
  std::vector<int> order;
  Listener first([&] { order.push_back(1); });
  Listener second([&] { order.push_back(2); });
  EXPECT_EQ(translator.AddListener(&first), 0);
  EXPECT_EQ(translator.AddListener(&second), 1);

  translator.SetLanguage(u"nl");
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  translator.SetLanguage(u"nl");
  translator.SetLanguage(u"NL");
  EXPECT_EQ(order.size(), 2u) << "notified without a change";

  translator.SetLanguage(u"EN");
  EXPECT_EQ(translator.GetCurrent(), translator.GetLanguage(1));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2}));

  try {
    translator.SetLanguage(u"fr");
    FAIL() << "unknown language accepted";
  } catch (const ETranslator& e) {
    EXPECT_EQ(e.Message(), "Language \"fr\" does not exist!");
  }
  EXPECT_EQ(translator.GetCurrent(), translator.GetLanguage(1));
  EXPECT_EQ(order.size(), 4u);

  EXPECT_EQ(translator.RemoveListener(&first), 0);
  EXPECT_EQ(translator.RemoveListener(&first), -1);
  translator.SetLanguage(u"nl");
  EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2, 2}));
}

TEST_F(Translation, ListenersMayComeAndGoDuringANotification) {
  Listener late;
  Listener third;
  Listener second;
  Listener first([&] {
    translator.RemoveListener(&first);
    translator.RemoveListener(&third);
    translator.AddListener(&late);
  });
  translator.AddListener(&first);
  translator.AddListener(&second);
  translator.AddListener(&third);

  translator.SetLanguage(u"nl");
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 1) << "skipped because the list moved up";
  EXPECT_EQ(third.Calls, 0) << "called after it was removed";
  EXPECT_EQ(late.Calls, 0) << "registered after the notification began";

  translator.SetLanguage(u"en");
  EXPECT_EQ(first.Calls, 1);
  EXPECT_EQ(second.Calls, 2);
  EXPECT_EQ(late.Calls, 1);
}

TEST_F(Translation, TheListenerLockIsHeldThroughTheNotificationAndReleasedOnFailure) {
  Listener other;
  bool addedMeanwhile = true;
  std::thread adder;
  Listener raising([&] {
    // Another thread cannot register while the notification runs.
    adder = std::thread([&] { translator.AddListener(&other); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    addedMeanwhile = translator.RemoveListener(&other) >= 0;
    throw Exception("listener failed");
  });
  Listener after;
  translator.AddListener(&raising);
  translator.AddListener(&after);

  EXPECT_THROW(translator.SetLanguage(u"nl"), Exception);
  EXPECT_FALSE(addedMeanwhile);
  EXPECT_EQ(after.Calls, 0);
  EXPECT_EQ(translator.GetCurrent(), translator.GetLanguage(0)) << "Current stays changed";

  // The blocked registration goes through once the lock is free again.
  ASSERT_TRUE(FinishesOnOtherThread([&] { adder.join(); })) << "the lock was not released";
  EXPECT_GE(translator.RemoveListener(&other), 0);
  translator.RemoveListener(&raising);
  translator.SetLanguage(u"en");
  EXPECT_EQ(after.Calls, 1);
}

TEST_F(Translation, ClearDropsLanguagesButKeepsListeners) {
  Listener listener;
  translator.AddListener(&listener);
  translator.SetLanguage(u"nl");
  translator.Clear();
  EXPECT_EQ(translator.GetCount(), 0);
  EXPECT_EQ(translator.GetCurrent(), nullptr);
  EXPECT_EQ(translator.Translate(u"$(Next)"), u"$(Next)");
  EXPECT_EQ(listener.Calls, 1);

  translator.AddLanguage("nl");
  translator.AddText("nl", u"Next", u"Verder");
  translator.SetLanguage(u"nl");
  EXPECT_EQ(listener.Calls, 2);
  EXPECT_EQ(translator.Translate(u"$(Next)"), u"Verder");
}
