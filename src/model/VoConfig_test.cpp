#include "model/VoConfig.h"

#include "base/KaExceptions.h"
#include "base/KaFiles.h"

#include <gtest/gtest.h>

namespace {

IVoConfigPtr Load(const std::string& text) {
  IVoConfigPtr c = CreateConfig();
  c->SetText(text);
  return c;
}

std::vector<std::string> Lines(const IVoConfigPtr& c, int index) {
  return c->GetSection(index)->GetLines();
}

using Strings = std::vector<std::string>;

} // namespace

TEST(VoConfig, EmptyAndCommentOnlyTextsLoadToOneEmptySection) {
  for (const char* text : {"", "# only a comment\r\n\r\n   \r\n#another", "\t\r\n"}) {
    IVoConfigPtr c = Load(text);
    ASSERT_EQ(c->GetSectionCount(), 1) << text;
    EXPECT_EQ(c->GetSection(0)->GetName(), "");
    EXPECT_TRUE(Lines(c, 0).empty());
    EXPECT_EQ(c->GetText(), "");
  }
  EXPECT_EQ(CreateConfig()->GetSectionCount(), 0);
  EXPECT_EQ(Load("x=1")->GetSection(1), nullptr);
  EXPECT_EQ(Load("x=1")->GetSection(-1), nullptr);
}

TEST(VoConfig, ValueLinesAreTrimmedNormalisedAndReplacedInPlace) {
  IVoConfigPtr c = Load("[s]\r\n \t key  =  a = b \x01\r\n"
                        "word\r\n"
                        "other=1\r\n"
                        "key=later\r\n"
                        "Key=case\r\n"
                        "key[1]=x\r\n"
                        "=empty key\r\n");
  IVoConfigSectionPtr s = c->FindSection("s");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->GetLines(),
            (Strings{"key=later", "word=", "other=1", "Key=case", "key[1]=x", "=empty key"}));
  EXPECT_EQ(s->ReadValue("key"), "later");
  EXPECT_EQ(s->ReadValue("Key"), "case");
  EXPECT_EQ(s->ReadValue("word"), "");
  EXPECT_EQ(s->ReadValue("key[1]"), "x");
  EXPECT_EQ(s->ReadValue(""), "empty key");
  EXPECT_EQ(s->ReadValue("missing"), "");

  IVoConfigPtr inner = Load("k = a = b");
  EXPECT_EQ(Lines(inner, 0), Strings{"k=a = b"});
  EXPECT_EQ(inner->GetSection(0)->ReadValue("k"), "a = b");
}

TEST(VoConfig, HeadersCommentsAndRawLines) {
  IVoConfigPtr c = Load("before=1\n"
                        "[a]b]\n"
                        "|raw=1\n"
                        "  |  padded raw \n"
                        "# dropped\n"
                        "[ spaced ]\n"
                        "x=1\n"
                        "[open\n"
                        "[A]\n"
                        "[spaced]\n"
                        "x=2\n"
                        "[]\n"
                        "y=3\n");
  Strings names;
  for (int i = 0; i < c->GetSectionCount(); ++i)
    names.push_back(c->GetSection(i)->GetName());
  EXPECT_EQ(names, (Strings{"", "a]b", "spaced", "open", "A", "spaced", ""}));
  EXPECT_EQ(Lines(c, 0), Strings{"before=1"});
  EXPECT_EQ(Lines(c, 1), (Strings{"|raw=1", "|  padded raw"}));
  EXPECT_EQ(c->GetSection(1)->ReadValue("|raw"), "") << "a raw line holds no key";
  EXPECT_EQ(c->FindSection("a"), nullptr);
  EXPECT_EQ(c->FindSection("a]b"), c->GetSection(1));

  // Duplicate sections stay apart; the first one is found and written to.
  EXPECT_EQ(c->FindSection("spaced"), c->GetSection(2));
  c->FindSection("spaced")->WriteValue("x", "9");
  EXPECT_EQ(Lines(c, 2), Strings{"x=9"});
  EXPECT_EQ(Lines(c, 5), Strings{"x=2"});
  EXPECT_EQ(c->FindSection("a"), nullptr);
  EXPECT_EQ(c->FindSection("A"), c->GetSection(4)) << "names are case-sensitive";
  EXPECT_EQ(c->FindSection(""), c->GetSection(0));
  EXPECT_EQ(Lines(c, 6), Strings{"y=3"});
}

TEST(VoConfig, LinesAreCutAtEveryLineEndAndTheTextEndsAtNul) {
  std::string text = "a=1\rb=2\nc=3\r\n\r\nd=4";
  text += '\0';
  text += "\r\ne=5";
  EXPECT_EQ(Lines(Load(text), 0), (Strings{"a=1", "b=2", "c=3", "d=4"}));
  // A byte-order mark is ordinary text of the first line.
  EXPECT_EQ(Lines(Load("\xEF\xBB\xBFk=v"), 0), Strings{"\xEF\xBB\xBFk=v"});
}

TEST(VoConfig, WritesSectionsWithLinesOnly) {
  IVoConfigPtr c = CreateConfig();
  c->AddSection("installer")->WriteValue("appName", "Example");
  c->FindSection("installer")->WriteValue("appDir", "C:\\Example\\");
  c->AddSection("empty");
  IVoConfigSectionPtr files = c->AddSection("files");
  files->AddLine("|=");
  files->AddLine("|x");
  IVoConfigSectionPtr second = c->AddSection("installer");
  EXPECT_NE(second, c->FindSection("installer"));
  const std::string written = "[installer]\r\nappName=Example\r\nappDir=C:\\Example\\\r\n\r\n"
                              "[files]\r\n|=\r\n|x\r\n\r\n";
  EXPECT_EQ(c->GetText(), written);

  // The written form reads back behind an empty leading section.
  IVoConfigPtr back = Load(written);
  ASSERT_EQ(back->GetSectionCount(), 3);
  EXPECT_TRUE(Lines(back, 0).empty());
  EXPECT_EQ(Lines(back, 1), (Strings{"appName=Example", "appDir=C:\\Example\\"}));
  EXPECT_EQ(Lines(back, 2), (Strings{"|=", "|x"}));
  EXPECT_EQ(back->GetText(), written);

  // The unnamed section is written as "[]", which reads back as a second one.
  IVoConfigPtr unnamed = Load("a=1");
  EXPECT_EQ(unnamed->GetText(), "[]\r\na=1\r\n\r\n");
  IVoConfigPtr again = Load(unnamed->GetText());
  ASSERT_EQ(again->GetSectionCount(), 2);
  EXPECT_TRUE(Lines(again, 0).empty());
  EXPECT_EQ(again->GetSection(1)->GetName(), "");
  EXPECT_EQ(Lines(again, 1), Strings{"a=1"});
}

TEST(VoConfig, EmptyLinesAddedByHandHoldNoKey) {
  IVoConfigPtr c = CreateConfig();
  IVoConfigSectionPtr s = c->AddSection("s");
  s->AddLine("");
  EXPECT_EQ(s->ReadValue(""), "");
  s->WriteValue("", "v");
  EXPECT_EQ(s->GetLines(), (Strings{"", "=v"}));
  EXPECT_EQ(s->ReadValue(""), "v");
  // WriteValue neither trims nor escapes.
  s->WriteValue(" k ", "a,b\\");
  EXPECT_EQ(s->GetLines().back(), " k =a,b\\");
}

TEST(VoConfig, StreamsAndFiles) {
  const std::string dir = GetTempDir() + "ws_voconfig_test\\";
  ForceDirectories(dir);
  const std::string file = dir + "c.ini";
  IVoConfigPtr c = Load("[s]\r\nk=v\r\n|raw");
  c->SaveToFile(file);
  IVoConfigPtr back = CreateConfig();
  back->LoadFromFile(file);
  EXPECT_EQ(back->GetText(), c->GetText());

  // A failed load keeps what was there.
  RemoveFile(file);
  EXPECT_THROW(back->LoadFromFile(file), EFOpenError);
  EXPECT_EQ(back->GetText(), c->GetText());
  EXPECT_THROW(c->SaveToFile(dir + "missing\\c.ini"), EFCreateError);
  RemoveDir(dir);

  TMemoryStream m;
  m.WriteString("ignored");
  c->SaveToStream(m);
  EXPECT_EQ(m.Bytes(), "ignored" + c->GetText());
  m.SetPosition(7);
  IVoConfigPtr fromStream = CreateConfig();
  fromStream->LoadFromStream(m);
  EXPECT_EQ(fromStream->GetText(), c->GetText());
}
