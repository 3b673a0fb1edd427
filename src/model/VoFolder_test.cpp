#include "model/VoFolder.h"

#include "base/KaDateUtils.h"
#include "base/KaExceptions.h"
#include "model/VoFolder_impl.h"
#include "model/testing/VoTesting.h"

#include <gtest/gtest.h>

namespace {

// One entry of a tree as the tests compare it.
struct TEntry {
  std::string Path; // directories end with "\"
  TVoNodeState State;
  int32_t Id, Mode;
  uint32_t CRC = 0;
  int32_t Size = 0;
  TDateTime Time;
};

void Collect(const IVoNodePtr& node, const std::string& prefix, std::vector<TEntry>& out) {
  for (IVoNodePtr c = node->GetFirstChild(); c; c = c->GetNext()) {
    if (auto f = std::dynamic_pointer_cast<IVoFolderFile>(c)) {
      out.push_back({prefix + f->GetName(), f->GetState(), f->GetId(), f->GetMode(), f->GetCRC(),
                     f->GetSize(), f->GetTime()});
    } else if (auto d = std::dynamic_pointer_cast<IVoFolderDir>(c)) {
      out.push_back(
          {prefix + d->GetName() + "\\", d->GetState(), d->GetId(), d->GetMode(), 0, 0, {}});
      Collect(c, prefix + d->GetName() + "\\", out);
    }
  }
}

std::vector<TEntry> Entries(const IVoNodePtr& root) {
  std::vector<TEntry> out;
  Collect(root, "", out);
  return out;
}

const TEntry& Find(const std::vector<TEntry>& entries, const std::string& path) {
  for (const TEntry& e : entries)
    if (e.Path == path)
      return e;
  static const TEntry none{"<none>", nsNew, -1, -1, 0, 0, {}};
  ADD_FAILURE() << "no entry " << path;
  return none;
}

std::vector<std::string> Paths(const std::vector<TEntry>& entries) {
  std::vector<std::string> out;
  for (const TEntry& e : entries)
    out.push_back(e.Path);
  return out;
}

std::string CRLF(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* l : lines)
    out += std::string(l) + "\r\n";
  return out;
}

using Strings = std::vector<std::string>;

const std::string ExampleText = CRLF({"|=C:\\\\Example\\\\", "|:*", "|~Temp", "|+0,0,bin",
                                      "|-12,10240,3421780262,20240131235958000,0,tool.exe", "|x",
                                      "|-13,512,305419896,20240131235958000,1,settings.ini", "|x"});

} // namespace

TEST(VoFolderText, ReadsAndWritesTheFileList) {
  IVoFolderPtr f = CreateFolder();
  f->SetText(ExampleText);
  EXPECT_EQ(f->GetPath(), "C:\\Example\\");
  EXPECT_EQ(f->GetMasks().GetCount(), 1);
  EXPECT_EQ(f->GetExcludes()[0], "Temp");
  std::vector<TEntry> e = Entries(f->GetRoot());
  EXPECT_EQ(Paths(e), (Strings{"bin\\", "bin\\tool.exe", "settings.ini"}));
  const TEntry& tool = Find(e, "bin\\tool.exe");
  EXPECT_EQ(tool.Id, 12);
  EXPECT_EQ(tool.Size, 10240);
  EXPECT_EQ(tool.CRC, 3421780262u);
  EXPECT_EQ(tool.Time, EncodeDateTime({2024, 1, 31, 23, 59, 58, 0}));
  EXPECT_EQ(Find(e, "settings.ini").Mode, 1);
  for (const TEntry& entry : e)
    EXPECT_EQ(entry.State, nsSame) << entry.Path;
  EXPECT_EQ(f->GetText(), ExampleText);

  IVoFolderPtr empty = CreateFolder();
  EXPECT_EQ(empty->GetText(), "|=\r\n|x\r\n");
}

TEST(VoFolderText, HostileNamesAndExtremeValuesRoundTrip) {
  std::string hostile = "a,b\\c\"d'e\rf\ng";
  hostile += '\0';
  hostile += "\x1a|x,";
  IVoFolderPtr f = CreateFolder();
  f->SetPath("C:\\Odd, \"path\"");
  f->GetMasks().Add("*,1");
  f->GetExcludes().Add(hostile);
  auto dir = std::make_shared<TVoFolderDir>();
  dir->SetName(hostile);
  dir->SetId(-5);
  dir->SetMode(256);
  f->GetRoot()->AddChild(dir);
  auto file = std::make_shared<TVoFolderFile>();
  file->SetName(hostile + "\\");
  file->SetId(2147483647);
  file->SetCRC(4294967295u);
  file->SetSize(-1);
  file->SetMode(-2147483647 - 1);
  file->SetTime(EncodeDateTime({1999, 12, 31, 1, 2, 4, 999}));
  dir->AddChild(file);
  auto untimed = std::make_shared<TVoFolderFile>();
  untimed->SetName("z");
  f->GetRoot()->AddChild(untimed);
  f->GetRoot()->AddChild(std::make_shared<TVoNode>()); // neither file nor directory: not written

  const std::string text = f->GetText();
  EXPECT_NE(text.find(",4294967295,"), std::string::npos) << text;
  EXPECT_NE(text.find("|-0,0,0,00000000000000000,0,z\r\n"), std::string::npos) << text;
  IVoFolderPtr back = CreateFolder();
  back->SetText(text);
  EXPECT_EQ(back->GetPath(), f->GetPath());
  EXPECT_EQ(back->GetMasks()[0], "*,1");
  EXPECT_EQ(back->GetExcludes()[0], hostile);
  std::vector<TEntry> e = Entries(back->GetRoot());
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].Path, hostile + "\\");
  EXPECT_EQ(e[0].Id, -5);
  EXPECT_EQ(e[0].Mode, 256);
  EXPECT_EQ(e[1].Path, hostile + "\\" + hostile + "\\");
  EXPECT_EQ(e[1].Id, 2147483647);
  EXPECT_EQ(e[1].CRC, 4294967295u);
  EXPECT_EQ(e[1].Size, -1);
  EXPECT_EQ(e[1].Mode, -2147483647 - 1);
  EXPECT_EQ(e[1].Time, file->GetTime());
  EXPECT_EQ(e[2].Path, "z");
  EXPECT_TRUE(e[2].Time.IsZero());
  EXPECT_EQ(back->GetText(), text);
}

TEST(VoFolderText, ReadingSkipsForeignLinesAndStopsAtBadNumbers) {
  IVoFolderPtr f = CreateFolder();
  f->SetText(ExampleText);
  f->SetText(
      "not a list line\r\n|\r\n|?unknown\n|=C:\\\\NoSlash\r|:*.TXT\r\n|:*.txt\r\n|:*.exe\r\n"
      "|x\r\n|-1,2,4294967297,00000000000000000,0,after root\r\n|+3,4\r\n|-5,6,7,,8,\r\n|x\r\n");
  EXPECT_EQ(f->GetPath(), "C:\\NoSlash") << "read exactly, no backslash added";
  EXPECT_EQ(f->GetMasks().GetCount(), 2) << "a mask differing only in case is taken once";
  EXPECT_EQ(f->GetMasks()[1], "*.exe");
  EXPECT_EQ(f->GetExcludes().GetCount(), 0) << "everything of the earlier text is gone";
  std::vector<TEntry> e = Entries(f->GetRoot());
  EXPECT_EQ(Paths(e), (Strings{"after root", "\\", "\\"})) << "a surplus |x keeps the root current";
  EXPECT_EQ(e[0].CRC, 1u) << "the low 32 bits of the number";
  EXPECT_EQ(e[1].Id, 3);
  EXPECT_EQ(e[1].Mode, 4);
  EXPECT_EQ(e[2].Mode, 8);
  EXPECT_TRUE(e[2].Time.IsZero()) << "an empty stamp is no time";

  for (const char* bad : {"|-1,x,3,00000000000000000,0,bad", "|-1,2,3,2024013123595,0,bad",
                          "|-1,2,3,20241331235958000,0,bad", "|+", "|-1,2", "|+1,99999999999,n"}) {
    IVoFolderPtr g = CreateFolder();
    EXPECT_THROW(
        g->SetText(CRLF({"|=p", "|-9,1,1,00000000000000000,0,kept", bad, "|-9,1,1,0,0,never"})),
        EConvertError)
        << bad;
    EXPECT_EQ(g->GetPath(), "p");
    EXPECT_EQ(Paths(Entries(g->GetRoot())), Strings{"kept"}) << bad;
  }
}

TEST(VoFolderText, PathsListsStreamsAndFiles) {
  IVoFolderPtr f = CreateFolder();
  f->SetText(CRLF({"|=C:\\\\App\\\\", "|+1,0,bin", "|-2,10,2147483648,00000000000000000,0,a.exe",
                   "|+3,0,empty", "|x", "|-4,20,5,00000000000000000,0,b.dll", "|x", "|+5,0,void",
                   "|x", "|-6,30,4294967295,00000000000000000,0,c.txt",
                   "|-7,40,5,00000000000000000,0,d.txt", "|x"}));
  IVoFileListPtr list = f->GetFileList();
  ASSERT_EQ(list->GetCount(), 4);
  EXPECT_EQ(list->GetItem(0).Path, "C:\\App\\bin\\a.exe");
  EXPECT_EQ(list->GetItem(1).Path, "C:\\App\\bin\\b.dll");
  EXPECT_EQ(list->GetItem(3).Path, "C:\\App\\d.txt");
  EXPECT_EQ(list->GetItem(3).Size, 40);
  EXPECT_EQ(list->FindByCRC(5)->Path, "C:\\App\\bin\\b.dll");
  EXPECT_EQ(list->FindByCRC(6), nullptr);
  list->SortByCRC();
  Strings sorted;
  for (int i = 0; i < list->GetCount(); ++i)
    sorted.push_back(CopyAfterLast("\\", list->GetItem(i).Path));
  EXPECT_EQ(sorted, (Strings{"a.exe", "c.txt", "b.dll", "d.txt"}))
      << "signed order, equal ones kept";
  EXPECT_EQ(list->FindByCRC(5)->Path, "C:\\App\\bin\\b.dll");
  EXPECT_EQ(list->FindByCRC(4294967295u)->Path, "C:\\App\\c.txt");
  EXPECT_EQ(list->FindByCRC(7), nullptr);
  list->Add(std::make_unique<TVoFile>("x", 7, 1));
  EXPECT_EQ(list->FindByCRC(7)->Path, "x");

  EXPECT_EQ(f->GetEmptyDirs(), (Strings{"C:\\App\\bin\\empty\\", "C:\\App\\void\\"}));

  f->SetPath("D:\\Other");
  EXPECT_EQ(f->GetPath(), "D:\\Other\\");
  f->SetPath("D:\\Other\\");
  EXPECT_EQ(f->GetPath(), "D:\\Other\\");
  f->SetPath("");
  EXPECT_EQ(f->GetPath(), "");

  TScratchDir dir;
  const std::string text = f->GetText();
  f->SaveToFile(dir.Path + "list.txt");
  EXPECT_EQ(dir.Read("list.txt"), text);
  IVoFolderPtr g = CreateFolder();
  g->LoadFromFile(dir.Path + "list.txt");
  EXPECT_EQ(g->GetText(), text);
  EXPECT_THROW(g->LoadFromFile(dir.Path + "none.txt"), EFOpenError);
  EXPECT_THROW(g->SaveToFile(dir.Path + "none\\list.txt"), EFCreateError);
  TMemoryStream m;
  m.WriteString("head");
  g->SaveToStream(m);
  m.SetPosition(4);
  IVoFolderPtr h = CreateFolder();
  h->LoadFromStream(m);
  EXPECT_EQ(h->GetText(), text);
  h->SetRoot(nullptr);
  ASSERT_TRUE(h->GetRoot());
  EXPECT_FALSE(h->GetRoot()->HasChildren());
}

TEST(VoFolderText, ADeeplyNestedListIsHandledWithoutDeepRecursion) {
  std::string text = "|=\r\n";
  for (int i = 0; i < 100000; ++i)
    text += "|+0,0,d\r\n";
  text += "|-1,1,1,00000000000000000,0,f\r\n";
  IVoFolderPtr f = CreateFolder();
  f->SetText(text);
  EXPECT_EQ(f->GetRoot()->FindNode(1)->GetLevel(), 100001);
  f->SetPath(GetTempDir() + "ws_model_nothere\\");
  f->Update();
  EXPECT_EQ(f->GetFileList()->GetCount(), 1);
  EXPECT_EQ(f->GetEmptyDirs().size(), 0u);
  f->Purge();
  EXPECT_FALSE(f->GetRoot()->HasChildren()) << "everything was missing";
  f->SetText(text);
  EXPECT_EQ(f->GetText().size(), text.size() + 100001 * 4);
}

TEST(VoFolderText, PlainEntryNames) {
  for (const char* good : {"a", "setup.exe", "..a", ".hidden", "a b", "CONSOLE", "COM0", "COM10",
                           "LPT", "nul2.txt", "\xE9t\xE9", "a,b", "a'b"})
    EXPECT_TRUE(IsPlainEntryName(good)) << good;
  for (const char* bad :
       {"",     ".",       "..",         "a\\b", "a/b",      "C:",    "a:b",      "a<b",   "a>b",
        "a\"b", "a|b",     "a?b",        "a*b",  "a\tb",     "a\x1f", "ends.",    "ends ", "CON",
        "con",  "Prn.txt", "aux.tar.gz", "NUL",  "nul .txt", "COM1",  "com9.log", "LPT1",  "lpt9"})
    EXPECT_FALSE(IsPlainEntryName(bad)) << bad;
  EXPECT_FALSE(IsPlainEntryName(std::string("a\0b", 3)));
  for (const char* bad : {"conin$", "CONOUT$.log", "COM\xB9", "lpt\xB2.txt", "COM\xB3"})
    EXPECT_FALSE(IsPlainEntryName(bad)) << bad;
  EXPECT_TRUE(IsPlainEntryName("COM\xB4")) << "only the three superscripts of the code page";
  EXPECT_TRUE(IsPlainEntryName(std::string(255, 'n')));
  EXPECT_FALSE(IsPlainEntryName(std::string(256, 'n')));
}

namespace {

class VoFolderScan : public ::testing::Test {
protected:
  // Lists what is on disk now: every entry new, with its crc, then read back
  // as a list, so every entry is the same.
  void List() {
    Folder->SetPath(Dir.Path);
    Folder->Update();
    for (const TEntry& e : Entries(Folder->GetRoot()))
      EXPECT_EQ(e.State, nsNew) << e.Path;
    Folder->SetText(Folder->GetText());
  }
  std::vector<TEntry> Scan() { return Entries(Folder->Scan()); }

  TScratchDir Dir;
  IVoFolderPtr Folder = CreateFolder();
};

} // namespace

TEST_F(VoFolderScan, JudgesEveryEntryByTimeSizeAndContent) {
  Dir.Write("keep.txt", "same content");
  Dir.Write("touched.txt", "touched");
  Dir.Write("changed.txt", "old");
  Dir.Write("gone.txt", "gone");
  Dir.Write("Case.txt", "case");
  Dir.Write("sub\\inner.txt", "inner");
  Dir.Write("oldsub\\lost.txt", "lost");
  Folder->GetMasks().Add("*");
  List();
  const uint32_t keepCRC = Find(Entries(Folder->GetRoot()), "keep.txt").CRC;
  EXPECT_EQ(keepCRC, FileCRC(Dir.Path + "keep.txt"));
  for (const TEntry& e : Scan())
    EXPECT_EQ(e.State, nsSame) << e.Path;

  // Same size and time, other content: trusted without reading it.
  TDateTime keepTime;
  ASSERT_TRUE(FileGetDate(Dir.Path + "keep.txt", keepTime));
  Dir.Write("keep.txt", "SAME CONTENT");
  Dir.Touch("keep.txt", keepTime);
  const TDateTime touchedTime = EncodeDateTime({2020, 5, 5, 12, 0, 0, 0});
  Dir.Touch("touched.txt", touchedTime);
  Dir.Write("changed.txt", "newer content");
  Dir.Touch("changed.txt", EncodeDateTime({2021, 1, 1, 8, 0, 0, 0}));
  RemoveFile(Dir.Path + "gone.txt");
  RemoveFile(Dir.Path + "Case.txt");
  Dir.Write("CASE.TXT", "case");
  RemoveFile(Dir.Path + "oldsub\\lost.txt");
  RemoveDir(Dir.Path + "oldsub");
  Dir.Write("new.txt", "123456789");
  Dir.Write("newsub\\x.txt", "x");
  const std::string before = Folder->GetText();

  std::vector<TEntry> e = Scan();
  EXPECT_EQ(Find(e, "keep.txt").State, nsSame);
  EXPECT_EQ(Find(e, "keep.txt").CRC, keepCRC);
  EXPECT_NE(FileCRC(Dir.Path + "keep.txt"), keepCRC);
  EXPECT_EQ(Find(e, "touched.txt").State, nsSame) << "only the time differed";
  EXPECT_EQ(Find(e, "touched.txt").Time, touchedTime) << "the disk's time is kept";
  EXPECT_EQ(Find(e, "changed.txt").State, nsChanged);
  EXPECT_EQ(Find(e, "changed.txt").CRC, FileCRC(Dir.Path + "changed.txt"));
  EXPECT_EQ(Find(e, "changed.txt").Size, 13);
  EXPECT_EQ(Find(e, "changed.txt").Time, EncodeDateTime({2021, 1, 1, 8, 0, 0, 0}));
  EXPECT_EQ(Find(e, "gone.txt").State, nsMissing);
  EXPECT_EQ(Find(e, "gone.txt").Size, 4) << "a missing entry keeps its listed values";
  EXPECT_EQ(Find(e, "Case.txt").State, nsMissing);
  EXPECT_EQ(Find(e, "CASE.TXT").State, nsNew);
  EXPECT_EQ(Find(e, "new.txt").State, nsNew);
  EXPECT_EQ(Find(e, "new.txt").CRC, 0xCBF43926u);
  EXPECT_EQ(Find(e, "new.txt").Size, 9);
  EXPECT_EQ(Find(e, "sub\\").State, nsSame);
  EXPECT_EQ(Find(e, "sub\\inner.txt").State, nsSame);
  EXPECT_EQ(Find(e, "oldsub\\").State, nsMissing);
  EXPECT_EQ(Find(e, "oldsub\\lost.txt").State, nsMissing);
  EXPECT_EQ(Find(e, "newsub\\").State, nsNew);
  EXPECT_EQ(Find(e, "newsub\\x.txt").State, nsNew);
  // New entries follow the listed ones of their directory.
  bool seenNew = false;
  IVoNodePtr scanned = Folder->Scan();
  for (IVoNodePtr c = scanned->GetFirstChild(); c; c = c->GetNext()) {
    bool isNew = std::dynamic_pointer_cast<IVoFolderNode>(c)->GetState() == nsNew;
    EXPECT_TRUE(isNew || !seenNew);
    seenNew = seenNew || isNew;
  }

  EXPECT_EQ(Folder->GetText(), before) << "Scan leaves the folder's tree alone";
  for (const TEntry& entry : Entries(Folder->GetRoot()))
    EXPECT_EQ(entry.State, nsSame);

  Folder->Update();
  Folder->Purge();
  Strings left = Paths(Entries(Folder->GetRoot()));
  for (const char* gone : {"gone.txt", "Case.txt", "oldsub\\", "oldsub\\lost.txt"})
    EXPECT_EQ(std::count(left.begin(), left.end(), gone), 0) << gone;
  EXPECT_EQ(left.size(), e.size() - 4);
}

TEST_F(VoFolderScan, ExcludedDirectoriesAreSkippedAtEveryDepth) {
  Dir.Write("Temp\\a.txt", "a");
  Dir.Write("x\\TEMP\\b.txt", "b");
  Dir.Write("x\\c.txt", "c");
  Dir.Write("x\\temp2\\d.txt", "d");
  Folder->GetMasks().Add("*");
  Folder->SetPath(Dir.Path);
  Folder->Update();
  Folder->SetText(Folder->GetText()); // Temp listed, with a.txt
  Folder->GetExcludes().Add("tEMP");
  std::vector<TEntry> e = Scan();
  EXPECT_EQ(Find(e, "Temp\\").State, nsMissing);
  EXPECT_EQ(Find(e, "Temp\\a.txt").State, nsMissing);
  EXPECT_EQ(Find(e, "x\\c.txt").State, nsSame);
  EXPECT_EQ(Find(e, "x\\temp2\\d.txt").State, nsSame);
  EXPECT_EQ(Find(e, "x\\TEMP\\").State, nsMissing) << "listed before the exclude, so missing now";
  EXPECT_EQ(Find(e, "x\\TEMP\\b.txt").State, nsMissing);
  EXPECT_EQ(e.size(), 8u) << "nothing new found below an excluded directory";
}

TEST_F(VoFolderScan, WithoutMasksNoFileIsFound) {
  Dir.Write("a.txt", "a");
  Dir.Write("d\\b.txt", "b");
  Folder->SetText(CRLF({"|=", "|-1,1,0,00000000000000000,0,a.txt", "|x"}));
  Folder->SetPath(Dir.Path);
  std::vector<TEntry> e = Scan();
  EXPECT_EQ(Paths(e), (Strings{"a.txt", "d\\"}));
  EXPECT_EQ(e[0].State, nsMissing);
  EXPECT_EQ(e[1].State, nsNew) << "directories are searched whatever the masks";

  Folder->SetPath(Dir.Path + "nothere\\");
  Folder->GetMasks().Add("*");
  EXPECT_EQ(Scan()[0].State, nsMissing) << "a directory that cannot be searched adds nothing";
}

TEST_F(VoFolderScan, AFileMatchedByTwoMasksIsJudgedOnce) {
  Dir.Write("a.txt", "listed");
  Folder->GetMasks().Add("*.txt");
  List();
  Dir.Write("a.txt", "changed content");
  Dir.Touch("a.txt", EncodeDateTime({2021, 1, 1, 8, 0, 0, 0}));
  Dir.Write("b.txt", "new file");
  Dir.Write("c.dat", "other");
  Folder->GetMasks().Add("*");
  Folder->GetMasks().Add("*.TXT"); // not taken: the list has it
  std::vector<TEntry> e = Scan();
  EXPECT_EQ(Paths(e), (Strings{"a.txt", "b.txt", "c.dat"}));
  EXPECT_EQ(e[0].State, nsChanged);
  EXPECT_EQ(e[0].CRC, FileCRC(Dir.Path + "a.txt"));
  EXPECT_EQ(e[1].State, nsNew);
  EXPECT_EQ(e[1].CRC, FileCRC(Dir.Path + "b.txt"));
  EXPECT_EQ(e[2].State, nsNew);
}

// A mask comes from the server's manifest; one that names a path searches
// another directory, whose files the scan would then take for this one's.
TEST_F(VoFolderScan, MasksThatLeaveTheirDirectoryFindNothing) {
  Dir.Write("app.exe", "MZ");
  Dir.Write("bin\\tool.exe", "MZ tool");
  ForceDirectories(Dir.Path + "empty\\");
  Folder->SetText(CRLF({"|=", "|+0,0,empty", "|x", "|+0,0,bin", "|x", "|x"}));
  for (const std::string& mask :
       Strings{"..\\*", "../*", "C:*", std::string("..\0\\app.exe", 12), "\t*", ""})
    Folder->GetMasks().Add(mask);
  Folder->SetPath(Dir.Path);
  EXPECT_EQ(Paths(Scan()), (Strings{"empty\\", "bin\\"}));

  Folder->GetMasks().Add("*.exe");
  std::vector<TEntry> e = Scan();
  EXPECT_EQ(Paths(e), (Strings{"empty\\", "bin\\", "bin\\tool.exe", "app.exe"}));
  for (const TEntry& entry : e)
    EXPECT_NE(entry.State, nsMissing) << entry.Path;
}

// What code outside the model builds and walks through the public interface.
TEST(VoFolderWalk, PublicEntriesWalkDepthFirstWithTheirDirectory) {
  IVoNodePtr root = CreateFolder()->GetRoot();
  IVoNodePtr bin = CreateFolderDir("bin");
  IVoNodePtr skipped = CreateFolderDir("skipped");
  root->AddChild(CreateFolderFile("a.txt"));
  root->AddChild(bin);
  bin->AddChild(CreateFolderFile("b.dll"));
  IVoNodePtr deep = CreateFolderDir("deep");
  bin->AddChild(deep);
  deep->AddChild(CreateFolderFile("c.dat"));
  root->AddChild(skipped);
  skipped->AddChild(CreateFolderFile("never.txt"));
  root->AddChild(CreateFolderFile("z.txt"));

  auto entry = std::dynamic_pointer_cast<IVoFolderFile>(bin->GetFirstChild());
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->GetName(), "b.dll");
  EXPECT_EQ(entry->GetState(), nsNew);
  EXPECT_EQ(entry->GetId(), 0);

  std::vector<std::string> seen;
  TVoFolderWalk walk;
  walk.EnterDir = [&](const IVoNodePtr&, IVoFolderDir& d, const std::string& prefix) {
    seen.push_back("enter " + prefix + d.GetName());
    return d.GetName() != "skipped";
  };
  walk.LeaveDir = [&](const IVoNodePtr&, IVoFolderDir& d, const std::string& prefix) {
    seen.push_back("leave " + prefix + d.GetName());
  };
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& f, const std::string& prefix) {
    seen.push_back(prefix + f.GetName());
  };
  WalkFolder(root, "C:\\App\\", walk);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"C:\\App\\a.txt", "enter C:\\App\\bin", "C:\\App\\bin\\b.dll",
                                      "enter C:\\App\\bin\\deep", "C:\\App\\bin\\deep\\c.dat",
                                      "leave C:\\App\\bin\\deep", "leave C:\\App\\bin",
                                      "enter C:\\App\\skipped", "C:\\App\\z.txt"}));
}
