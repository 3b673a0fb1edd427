#include "model/VoUpdateConfig.h"

#include "base/KaCRC.h"
#include "base/KaCrypto.h"
#include "base/KaDateUtils.h"
#include "base/KaExceptions.h"
#include "model/VoFolder_impl.h"
#include "model/VoUpdateConfig_impl.h"
#include "model/VoVerifiedFiles.h"
#include "model/testing/VoTesting.h"
#include "net/KaWork.h"
#include "net/testing/KaNetTesting.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <zlib.h>

namespace {

// What the scripted connection serves for an identifier without an answer.
std::string DefaultContent(int32_t id) { return "content " + IntToStr(id); }

// The levels of the progress tracker as the manifest opens and moves them.
class TWorkLog : public IWorkObserver {
public:
  TWorkLog() { Work().AddObserver(this); }
  ~TWorkLog() override { Work().RemoveObserver(this); }
  void WorkStarted() override { Events.push_back("started"); }
  void WorkFinished() override { Events.push_back("finished"); }
  void WorkChanged(const IWorkLevel& level) override {
    Events.push_back(IntToStr(level.GetWorkID()) + ":" + IntToStr(level.GetPosition()) + "/" +
                     IntToStr(level.GetMaximum()));
  }
  std::vector<std::string> Events;
};

using Strings = std::vector<std::string>;

const std::string ExampleManifest =
    "[installer]\r\nappName=Example\r\nappDir=C:\\Example\\\r\n"
    "payloadName=Example.exe\r\n\r\n"
    "[files]\r\n|=\r\n|:*\r\n|x\r\n\r\n"
    "[shortcuts]\r\n|Example,Example.exe,Example.exe,Starts Example,,\r\n\r\n";

} // namespace

TEST(VoUpdateConfigText, ReadsAndWritesTheManifest) {
  IVoUpdateConfigPtr m = CreateUpdateConfig();
  EXPECT_EQ(m->GetText(),
            "[installer]\r\nappName=\r\nappDir=\r\npayloadName=\r\n\r\n[files]\r\n|=\r\n|x\r\n\r\n")
      << "an empty list writes no shortcuts section";
  m->SetText(ExampleManifest);
  EXPECT_EQ(m->GetAppName(), "Example");
  EXPECT_EQ(m->GetAppDir(), "C:\\Example\\");
  EXPECT_EQ(m->GetPayloadName(), "Example.exe");
  EXPECT_EQ(m->GetFolder()->GetMasks()[0], "*");
  ASSERT_EQ(m->GetShortcuts()->GetCount(), 1);
  IVoShortcutPtr s = m->GetShortcuts()->GetItem(0);
  EXPECT_EQ(s->GetName(), "Example");
  EXPECT_EQ(s->GetDescription(), "Starts Example");
  EXPECT_EQ(s->GetGroup(), "");
  EXPECT_EQ(m->GetText(), ExampleManifest);

  // A fresh object, every field with characters that need escaping.
  IVoUpdateConfigPtr n = CreateUpdateConfig();
  n->SetAppName("A = B");
  n->SetPayloadName("bin\\run.exe");
  IVoShortcutPtr t = n->GetShortcuts()->AddShortcut();
  const Strings fields = {"$(Name), \"quoted\"", "bin\\t.exe", "i,co",
                          "d'e\\s\nc",           "Group\\Sub", "/a \"b\""};
  t->SetName(fields[0]);
  t->SetTarget(fields[1]);
  t->SetIcon(fields[2]);
  t->SetDescription(fields[3]);
  t->SetGroup(fields[4]);
  t->SetArguments(fields[5]);
  n->GetFolder()->SetText("|=C:\\\\P\\\\\r\n|-7,1,2,00000000000000000,4,f,1\r\n|x\r\n");
  IVoUpdateConfigPtr back = CreateUpdateConfig();
  back->SetText(n->GetText());
  EXPECT_EQ(back->GetAppName(), "A = B");
  EXPECT_EQ(back->GetPayloadName(), "bin\\run.exe");
  EXPECT_EQ(back->GetFolder()->GetText(), n->GetFolder()->GetText());
  IVoShortcutPtr u = back->GetShortcuts()->GetItem(0);
  EXPECT_EQ((Strings{u->GetName(), u->GetTarget(), u->GetIcon(), u->GetDescription(), u->GetGroup(),
                     u->GetArguments()}),
            fields);
  EXPECT_EQ(back->GetShortcuts()->GetText().find("|$(Name)\\c \\\"quoted\\\",bin\\\\t.exe,i\\cco,"),
            0u)
      << "group comes fifth, arguments last";
}

TEST(VoUpdateConfigText, MissingSectionsAndShortShortcutLines) {
  IVoUpdateConfigPtr m = CreateUpdateConfig();
  m->SetText(ExampleManifest);
  m->SetText(
      "[shortcuts]\r\n|Short,run.exe,icon.ico\r\n|\r\nnot raw\r\n|A,B,C,D,E,F,dropped,too\r\n");
  EXPECT_EQ(m->GetAppName(), "") << "no installer section empties the values";
  EXPECT_EQ(m->GetPayloadName(), "");
  EXPECT_EQ(m->GetFolder()->GetMasks().GetCount(), 0) << "no files section empties the folder";
  EXPECT_FALSE(m->GetFolder()->GetRoot()->HasChildren());
  ASSERT_EQ(m->GetShortcuts()->GetCount(), 3) << "shortcuts are added to the earlier ones";
  IVoShortcutPtr s = m->GetShortcuts()->GetItem(1);
  EXPECT_EQ(s->GetName(), "Short");
  EXPECT_EQ(s->GetIcon(), "icon.ico");
  EXPECT_EQ(s->GetDescription(), "");
  EXPECT_EQ(s->GetGroup(), "") << "on the desktop";
  EXPECT_EQ(s->GetArguments(), "");
  EXPECT_EQ(m->GetShortcuts()->GetItem(2)->GetArguments(), "F");

  m->SetText("[installer]\r\nappName=X\r\n");
  EXPECT_EQ(m->GetShortcuts()->GetCount(), 3) << "no shortcuts section leaves the list";
  EXPECT_EQ(m->GetAppName(), "X");
  EXPECT_EQ(m->GetAppDir(), "");

  EXPECT_THROW(m->SetText("[installer]\r\nappName=Y\r\n[files]\r\n|-1,x\r\n"), EConvertError);
  EXPECT_EQ(m->GetAppName(), "Y") << "values are set before the files are read";
}

TEST(VoUpdateConfigActions, TheTableByStateModeAndIdentifier) {
  const int32_t modes[] = {umReplace, umCreateOnly, umDelete, umKeep, 3, 256, 258};
  // n: none, f: fetch, d: delete; one row per state, one column per mode.
  const char* const table[] = {"nnnnnnn", "nndnnnd", "fndnnfd", "ffnnnfn"};
  for (int state = nsNew; state <= nsMissing; ++state) {
    for (int column = 0; column < 7; ++column) {
      for (int32_t id : {7, 0}) {
        TVoFolderFile f;
        f.SetState(static_cast<TVoNodeState>(state));
        f.SetMode(modes[column]);
        f.SetId(id);
        char expected = table[state][column];
        if (expected == 'f' && id == 0)
          expected = 'n';
        const char got = "nfd"[static_cast<int>(UpdateAction(f))];
        EXPECT_EQ(got, expected) << "state " << state << " mode " << modes[column] << " id " << id;
      }
    }
  }
}

namespace {

class VoUpdateConfigDisk : public ::testing::Test {
protected:
  // A "|-" line that lists the file as it is on disk now.
  std::string Listed(const std::string& name, int32_t id, int32_t mode) {
    std::vector<TSearchRec> found = FindEntries(Dir.Path + name);
    EXPECT_EQ(found.size(), 1u) << name;
    if (found.empty())
      return "";
    return "|-" + IntToStr(id) + "," + IntToStr(found[0].Size) + "," +
           IntToStr(FileCRC(Dir.Path + name)) + "," + DateTimeToStamp(found[0].Time) + "," +
           IntToStr(mode) + "," + Escape(CopyAfterLast("\\", "\\" + name)) + "\r\n";
  }
  // Listed with the size of the scripted connection's default content.
  static std::string Unlisted(const std::string& name, int32_t id, int32_t mode) {
    return Unlisted(name, id, mode, static_cast<int32_t>(DefaultContent(id).size()));
  }
  static std::string Unlisted(const std::string& name, int32_t id, int32_t mode, int32_t size) {
    return "|-" + IntToStr(id) + "," + IntToStr(size) + ",1,20200101000000000," + IntToStr(mode) +
           "," + Escape(name) + "\r\n";
  }
  // Listed as the scripted connection serves it (size and CRC-32 of
  // "content <id>"), with a time that no fetched file has.
  static std::string Served(const std::string& name, int32_t id) {
    const std::string content = "content " + IntToStr(id);
    return "|-" + IntToStr(id) + "," + IntToStr(content.size()) + "," +
           IntToStr(~UpdateCRC(0xFFFFFFFFu, content.data(), content.size())) +
           ",20200101000000000,0," + Escape(name) + "\r\n";
  }
  // Straight into the folder: the manifest text would trim a name's trailing blanks.
  void Load(const std::string& files) {
    Manifest->GetFolder()->SetText("|:*\r\n" + files + "|x\r\n");
  }
  // Makes a listed file changed: other content and size, another time.
  void Change(const std::string& name) {
    Dir.Write(name, Dir.Read(name) + " changed locally");
    Dir.Touch(name, EncodeDateTime({2021, 3, 3, 3, 3, 4, 0}));
  }
  // What the scan would find; the record of verified files has tests of its own.
  Strings OnDisk(const std::string& sub = "") {
    Strings names;
    for (const TSearchRec& r : FindEntries(Dir.Path + sub + "*"))
      if (r.Name != TVoVerifiedFiles::RecordName)
        names.push_back(r.Name);
    std::sort(names.begin(), names.end());
    return names;
  }

  TScratchDir Dir;
  IVoUpdateConfigPtr Manifest = CreateUpdateConfig();
  std::shared_ptr<TScriptedFileConnection> Connection = std::make_shared<TScriptedFileConnection>();
  TWorkLog Log;
};

} // namespace

TEST_F(VoUpdateConfigDisk, UpdateFetchesAndDeletesByTheTable) {
  // The server's content of identifier n is "content n"; the list describes it.
  const std::vector<std::pair<const char*, int32_t>> listed = {
      {"r_same", 1},    {"r_changed", 2},  {"r_missing", 3},     {"c_changed", 4},
      {"c_missing", 5}, {"d_same", 6},     {"d_changed", 7},     {"d_missing", 8},
      {"k_changed", 9}, {"k_missing", 10}, {"m256_missing", 11}, {"zero_missing", 0}};
  const std::map<std::string, int32_t> modes = {{"r", umReplace}, {"c", umCreateOnly},
                                                {"d", umDelete},  {"k", umKeep},
                                                {"m256", 256},    {"zero", umReplace}};
  std::string files;
  for (auto [name, id] : listed) {
    Dir.Write(name, "content " + IntToStr(id));
    files += Listed(name, id, modes.at(CopyBeforeFirst("_", name)));
  }
  Dir.Write("sub\\deep", "content 12");
  files += "|+0,0,sub\r\n" + Listed("sub\\deep", 12, umReplace) + "|x\r\n";
  Dir.Write("local", "not listed");
  for (const char* name : {"r_changed", "c_changed", "d_changed", "k_changed"})
    Change(name);
  for (const char* name : {"r_missing", "c_missing", "d_missing", "k_missing", "m256_missing",
                           "zero_missing", "sub\\deep"})
    RemoveFile(Dir.Path + name);
  RemoveDir(Dir.Path + "sub");
  Load(files);
  const std::string manifest = Manifest->GetText();
  EXPECT_TRUE(Manifest->NeedsUpdate(Dir.Path));
  EXPECT_TRUE(Connection->Calls.empty());

  // Only deleting makes no update needed.
  IVoUpdateConfigPtr deleteOnly = CreateUpdateConfig();
  deleteOnly->SetText("[files]\r\n|:*\r\n" + Listed("d_same", 6, umDelete) + "|x\r\n");
  EXPECT_FALSE(deleteOnly->NeedsUpdate(Dir.Path));

  Manifest->Update(Dir.Path.substr(0, Dir.Path.size() - 1), Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{2, 3, 5, 11, 12}));
  EXPECT_EQ(Dir.Read("r_same"), "content 1");
  EXPECT_EQ(Dir.Read("r_changed"), "content 2");
  EXPECT_EQ(Dir.Read("r_missing"), "content 3");
  EXPECT_EQ(Dir.Read("c_changed"), "content 4 changed locally") << "local changes survive";
  EXPECT_EQ(Dir.Read("c_missing"), "content 5");
  EXPECT_EQ(Dir.Read("k_changed"), "content 9 changed locally");
  EXPECT_EQ(Dir.Read("m256_missing"), "content 11");
  EXPECT_EQ(Dir.Read("sub\\deep"), "content 12") << "its directory is created";
  EXPECT_EQ(OnDisk(), (Strings{"c_changed", "c_missing", "k_changed", "local", "m256_missing",
                               "r_changed", "r_missing", "r_same", "sub"}))
      << "deleted by mode, nothing fetched for identifier 0, no temporary file left";

  // Every file entry is a step of the files level, which is closed at the end.
  Strings expected = {"started", "11:0/14"};
  for (int i = 1; i <= 14; ++i)
    expected.push_back("11:" + IntToStr(i) + "/14");
  expected.push_back("finished");
  EXPECT_EQ(Log.Events, expected);

  // The fetched files differ from the list in their time only.
  IVoUpdateConfigPtr again = CreateUpdateConfig();
  again->SetText(manifest);
  EXPECT_FALSE(again->NeedsUpdate(Dir.Path));
}

TEST_F(VoUpdateConfigDisk, ABrokenStreamKeepsTheOldFile) {
  Dir.Write("a", "content 1");
  Dir.Write("b", "content 2");
  Dir.Write("c", "content 3");
  Load(Listed("a", 1, umReplace) + Listed("b", 2, umReplace) + Listed("c", 3, umReplace));
  for (const char* name : {"a", "b", "c"})
    Change(name);
  Connection->Answers[1] = "this is no zlib stream";
  const std::string whole = Deflate(std::string(200000, 'x') + "end");
  Connection->Answers[2] = whole.substr(0, whole.size() / 2);
  Manifest->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Dir.Read("a"), "content 1 changed locally");
  EXPECT_EQ(Dir.Read("b"), "content 2 changed locally") << "a cut stream is no content";
  EXPECT_EQ(Dir.Read("c"), "content 3") << "the walk goes on";
  EXPECT_EQ(OnDisk(), (Strings{"a", "b", "c"}));

  InflateToFile(whole + "trailing", Dir.Path + "big", 200003);
  EXPECT_EQ(Dir.Read("big").size(), 200003u);
  EXPECT_THROW(InflateToFile(Deflate("x"), Dir.Path + "none\\x", 1), EInflate)
      << "no directory to write in";
  EXPECT_EQ(OnDisk(), (Strings{"a", "b", "big", "c"}));
}

// A zlib stream of `size` zero bytes, made block by block: small, whatever it
// claims.
std::string DeflateZeros(int64_t size) {
  z_stream z{};
  EXPECT_EQ(deflateInit(&z, 9), Z_OK);
  std::string block(1 << 20, '\0'), out;
  unsigned char buffer[65536];
  for (int64_t left = size; left >= 0; left -= static_cast<int64_t>(block.size())) {
    const bool last = left <= static_cast<int64_t>(block.size());
    z.next_in = reinterpret_cast<Bytef*>(block.data());
    z.avail_in = static_cast<uInt>(last ? left : block.size());
    do {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      out.append(reinterpret_cast<char*>(buffer), sizeof buffer - z.avail_out);
    } while (z.avail_out == 0);
    if (last)
      break;
  }
  deflateEnd(&z);
  return out;
}

TEST_F(VoUpdateConfigDisk, NoFileInflatesBeyondItsListedSize) {
  // 256 MB of zeros in a few hundred kilobytes, for a file listed with 10 bytes.
  const std::string bomb = DeflateZeros(256 << 20);
  ASSERT_LT(bomb.size(), 512u * 1024);
  Dir.Write("target", "old");
  try {
    InflateToFile(bomb, Dir.Path + "target", 10);
    ADD_FAILURE() << "the bomb was inflated";
  } catch (const EInflate& e) {
    EXPECT_STREQ(e.what(), "The file's content inflates beyond its listed size of 10 bytes");
  }
  EXPECT_EQ(Dir.Read("target"), "old");
  EXPECT_EQ(OnDisk(), Strings{"target"}) << "no temporary file is left";

  // Exactly the listed size is whole content; one byte more is not.
  InflateToFile(Deflate("0123456789"), Dir.Path + "target", 10);
  EXPECT_EQ(Dir.Read("target"), "0123456789");
  EXPECT_THROW(InflateToFile(Deflate("0123456789A"), Dir.Path + "target", 10), EInflate);
  InflateToFile(Deflate(""), Dir.Path + "empty", 0);
  EXPECT_EQ(Dir.Read("empty"), "");
  EXPECT_THROW(InflateToFile(Deflate("x"), Dir.Path + "empty", 0), EInflate);
  EXPECT_EQ(OnDisk(), (Strings{"empty", "target"}));

  // In an update the listed size bounds the file and its answer; a changed
  // file is bounded by the list's size, not by what lies on disk.
  Dir.Write("changed", "0123456789 and much more on disk");
  Load(Unlisted("bomb", 1, umReplace, 10) + Unlisted("changed", 2, umReplace, 5) +
       Unlisted("after", 3, umReplace));
  Connection->Answers[1] = bomb;
  Connection->Answers[2] = Deflate("12345");
  Manifest->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2, 3})) << "the walk goes on";
  EXPECT_EQ(Connection->Limits,
            (std::vector<int64_t>{FileAnswerLimit(10), FileAnswerLimit(5), FileAnswerLimit(9)}));
  EXPECT_EQ(OnDisk(), (Strings{"after", "changed", "empty", "target"})) << "no bomb, no temporary";
  EXPECT_EQ(Dir.Read("changed"), "12345");
  EXPECT_EQ(Dir.Read("after"), "content 3");

  // The bound of an answer covers a stream of incompressible content.
  std::string noise(100000, '\0');
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  EXPECT_LT(static_cast<int64_t>(Deflate(noise).size()) + 3 + 4 + 16 + 4,
            FileAnswerLimit(static_cast<uint32_t>(noise.size())));
  EXPECT_GT(FileAnswerLimit(0xFFFFFFFFu), int64_t{0xFFFFFFFF}) << "no 32-bit wrap";
}

TEST_F(VoUpdateConfigDisk, AFetchEndedMidwayByTheProcessIsCleanedUpByTheNextUpdate) {
  // The program ended while it inflated "a": the target was never touched,
  // only its temporary holds the first part.
  Dir.Write("a.0.~ws", "cont");
  Load(Unlisted("a", 1, umReplace));
  ASSERT_TRUE(Manifest->NeedsUpdate(Dir.Path));
  Manifest->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Dir.Read("a"), "content 1");
  EXPECT_EQ(OnDisk(), Strings{"a"});
}

TEST_F(VoUpdateConfigDisk, AFailedCallEndsTheUpdateWithTheLevelClosed) {
  Load(Unlisted("a", 1, umReplace) + Unlisted("b", 2, umReplace) + Unlisted("c", 3, umReplace));
  Connection->Failing.insert(2);
  EXPECT_THROW(Manifest->Update(Dir.Path, Connection, "admin:getFile"), EScriptedCall);
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(OnDisk(), Strings{"a"});
  EXPECT_EQ(Log.Events, (Strings{"started", "11:0/3", "11:1/3", "11:2/3", "11:3/3", "finished"}));
}

TEST_F(VoUpdateConfigDisk, RemoveKeepsWhatIsNotListedUnlessAllGoes) {
  for (const char* name : {"app.exe", "keep.ini", "changed.dll", "bin\\tool.exe",
                           "data\\listed.dat", "data\\mine.txt", "mine.txt"})
    Dir.Write(name, name);
  const std::string files = Listed("app.exe", 1, umReplace) + Listed("keep.ini", 2, umKeep + 256) +
                            Listed("changed.dll", 3, umCreateOnly) +
                            Unlisted("missing.txt", 4, umReplace) + "|+0,0,bin\r\n" +
                            Listed("bin\\tool.exe", 5, umReplace) + "|x\r\n" + "|+0,0,data\r\n" +
                            Listed("data\\listed.dat", 6, umDelete) + "|x\r\n";
  Change("changed.dll");
  Load(files);
  Manifest->Remove(Dir.Path, false);
  EXPECT_EQ(OnDisk(), (Strings{"data", "keep.ini", "mine.txt"}));
  EXPECT_EQ(OnDisk("data\\"), Strings{"mine.txt"})
      << "a directory holding a file of the user's stays";
  EXPECT_EQ(Log.Events, (Strings{"started", "finished"}));

  Load(files);
  Manifest->Remove(Dir.Path, true);
  EXPECT_TRUE(OnDisk().empty());
  EXPECT_TRUE(DirectoryExists(Dir.Path)) << "the directory itself stays";
}

// A signed release: the listed file "content <id>" of the scripted server,
// with its true size and CRC, and its seal.
class VoUpdateConfigSealed : public VoUpdateConfigDisk {
protected:
  std::string Sealed(const std::string& name, int32_t id) {
    const std::string content = "content " + IntToStr(id);
    Seals[id] = {static_cast<uint32_t>(content.size()), Sha256(content)};
    return "|-" + IntToStr(id) + "," + IntToStr(static_cast<int64_t>(content.size())) + "," +
           IntToStr(~UpdateCRC(0xFFFFFFFFu, content.data(), content.size())) +
           ",20200101000000000,0," + name + "\r\n";
  }
  // Lists the three files a, b and c; b is on disk with older content.
  void LoadThree() {
    Dir.Write("b", "old b");
    Files = Sealed("a", 1) + Sealed("b", 2) + Sealed("c", 3);
  }
  // An update by a manifest object of its own, as each procedure makes one.
  std::string Refusal() {
    Manifest = CreateUpdateConfig();
    Load(Files);
    std::dynamic_pointer_cast<IVoSealedContent>(Manifest)->SetContentSeals(Seals);
    try {
      Manifest->Update(Dir.Path, Connection, "admin:getFile");
    } catch (const EReleaseSeal& e) {
      return e.Message();
    }
    return "(accepted)";
  }

  TVoContentSeals Seals;
  std::string Files;
};

TEST_F(VoUpdateConfigSealed, ContentThatMatchesItsSealIsTaken) {
  LoadThree();
  EXPECT_EQ(Refusal(), "(accepted)");
  EXPECT_EQ(Dir.Read("a"), "content 1");
  EXPECT_EQ(Dir.Read("b"), "content 2");
  EXPECT_EQ(Dir.Read("c"), "content 3");
  IVoUpdateConfigPtr again = CreateUpdateConfig();
  again->GetFolder()->SetText("|:*\r\n" + Files + "|x\r\n");
  EXPECT_FALSE(again->NeedsUpdate(Dir.Path));
}

TEST_F(VoUpdateConfigSealed, SwappedContentEndsTheUpdateAndTheOldFileStays) {
  LoadThree();
  Connection->Answers[2] = Deflate("content X"); // the same size, other bytes
  EXPECT_EQ(Refusal(), "$(release_content_error) " + Dir.Path + "b");
  EXPECT_EQ(Dir.Read("a"), "content 1");
  EXPECT_EQ(Dir.Read("b"), "old b");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2})) << "nothing after the refusal";
  EXPECT_EQ(OnDisk(), (Strings{"a", "b"})) << "no temporary file left";
  EXPECT_EQ(Log.Events.back(), "finished") << "the level is closed";

  // What is not the whole content of the release is refused as well.
  for (const std::string& answer :
       {Deflate("content"), Deflate("content 2 and more"), Deflate("content 2").substr(0, 8),
        std::string("no zlib stream")}) {
    Connection->Calls.clear();
    Connection->Answers[2] = answer;
    EXPECT_EQ(Refusal(), "$(release_content_error) " + Dir.Path + "b");
    EXPECT_EQ(Dir.Read("b"), "old b");
    EXPECT_EQ(OnDisk(), (Strings{"a", "b"}));
  }
}

TEST_F(VoUpdateConfigSealed, ABombStopsAtTheSealedSize) {
  LoadThree();
  // About 1 MB that inflates to 1 GB: the inflating stops at the sealed 9
  // bytes, long before the disk or the time run out.
  Connection->Answers[2] = DeflatedZeros(uint64_t(1) << 30);
  ASSERT_LT(Connection->Answers[2].size(), 2u << 20);
  EXPECT_EQ(Refusal(), "$(release_content_error) " + Dir.Path + "b");
  EXPECT_EQ(Dir.Read("b"), "old b");
  EXPECT_EQ(OnDisk(), (Strings{"a", "b"}));
}

TEST_F(VoUpdateConfigSealed, AFileWithoutItsSealIsNeverFetched) {
  LoadThree();
  Seals.erase(3);
  EXPECT_EQ(Refusal(), "$(release_content_error) " + Dir.Path + "c");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(OnDisk(), (Strings{"a", "b"}));

  // A seal of another size than the list's is no seal of this file.
  Connection->Calls.clear();
  Seals[3] = {10, Sha256("content 3")};
  EXPECT_EQ(Refusal(), "$(release_content_error) " + Dir.Path + "c");
  EXPECT_TRUE(Connection->Calls.empty()) << "a and b are current now";
  EXPECT_EQ(OnDisk(), (Strings{"a", "b"}));
}

TEST_F(VoUpdateConfigDisk, NamesThatAreNoPlainNamesNeverReachTheDisk) {
  // The installation directory is app\; the victim lies beside it.
  const std::string app = Dir.Path + "app\\";
  Dir.Write("victim.txt", "precious");
  ForceDirectories(app);
  const Strings refused = {"..\\victim.txt",
                           "../victim.txt",
                           "",
                           ".",
                           "..",
                           "C:victim.txt",
                           "a<b",
                           "a>b",
                           "a\"b",
                           "a|b",
                           "a?b",
                           "a*b",
                           "tab\t",
                           std::string("nul\0", 4),
                           "ends.",
                           "ends ",
                           "CON",
                           "prn.txt",
                           "Aux",
                           "NUL.victim.txt",
                           "COM1",
                           "lpt9.log",
                           "C:\\victim.txt",
                           "\\\\?\\C:\\victim.txt",
                           "\\\\server\\share\\victim.txt",
                           "victim.txt:stream",
                           "a\\..\\..\\victim.txt",
                           "victim.txt.",
                           "victim.txt ",
                           "conout$",
                           "COM\xB9",
                           std::string(300, 'v')};
  for (const std::string& bad : refused) {
    Connection->Calls.clear();
    Load("|+0,0," + Escape(bad) + "\r\n" + Unlisted("victim.txt", 8, umReplace) + "|x\r\n" +
         Unlisted(bad, 7, umReplace));
    EXPECT_FALSE(Manifest->NeedsUpdate(app)) << bad;
    Log.Events.clear();
    Manifest->Update(app, Connection, "admin:getFile");
    EXPECT_TRUE(Connection->Calls.empty()) << bad;
    EXPECT_EQ(Log.Events, (Strings{"started", "finished"})) << "nothing counted for " << bad;
    Manifest->Remove(app, true);
    EXPECT_EQ(OnDisk(), (Strings{"app", "victim.txt"})) << bad;
    EXPECT_TRUE(OnDisk("app\\").empty()) << bad;
    EXPECT_EQ(Dir.Read("victim.txt"), "precious") << bad;
  }

  // Beside refused entries the plain ones are handled as usual.
  Connection->Calls.clear();
  Load(Unlisted("..\\victim.txt", 7, umReplace) + Unlisted("good", 1, umReplace));
  Manifest->Update(app, Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, std::vector<int32_t>{1});
  EXPECT_EQ(OnDisk("app\\"), Strings{"good"});
  EXPECT_EQ(Dir.Read("victim.txt"), "precious");
}

TEST_F(VoUpdateConfigDisk, AnEntryOfTheOtherKindOnDiskIsLeftAsItIs) {
  // Listed as a file, a directory on disk; listed as a directory, a file.
  ForceDirectories(Dir.Path + "dirOnDisk\\");
  Dir.Write("dirOnDisk\\mine.txt", "mine");
  Dir.Write("fileOnDisk", "mine too");
  Load(Unlisted("dirOnDisk", 1, umReplace) + "|+0,0,fileOnDisk\r\n" +
       Unlisted("inner", 2, umReplace) + "|x\r\n" + Unlisted("good", 3, umReplace));
  EXPECT_TRUE(Manifest->NeedsUpdate(Dir.Path));
  Manifest->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 3}))
      << "no directory for the inner file, so nothing is fetched for it";
  EXPECT_EQ(OnDisk(), (Strings{"dirOnDisk", "fileOnDisk", "good"})) << "no temporary file is left";
  EXPECT_EQ(OnDisk("dirOnDisk\\"), Strings{"mine.txt"});
  EXPECT_EQ(Dir.Read("dirOnDisk\\mine.txt"), "mine");
  EXPECT_EQ(Dir.Read("fileOnDisk"), "mine too");
  EXPECT_EQ(Dir.Read("good"), "content 3");
}

TEST_F(VoUpdateConfigDisk, AfterAnUpdateTheCheckReadsNoFileAndTheRecordGoesWithTheRest) {
  Dir.Write("user.txt", "the user's own");
  // Each step with the list afresh, as each procedure loads the manifest.
  const std::string listed = Served("a", 1) + "|+0,0,sub\r\n" + Served("b", 2) + "|x\r\n";
  auto fresh = [&] {
    Load(listed);
    return Manifest;
  };
  fresh()->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Dir.Read("sub\\b"), "content 2");
  ASSERT_TRUE(FileExists(Dir.Path + TVoVerifiedFiles::RecordName));

  // The fetched files have times of their own, not the listed ones: without
  // the record every check reads them for their CRC-32; with it, none.
  auto readBy = [&](bool needed) {
    const int64_t before = TVoFolder::ContentBytesRead();
    EXPECT_EQ(fresh()->NeedsUpdate(Dir.Path), needed);
    return TVoFolder::ContentBytesRead() - before;
  };
  EXPECT_EQ(readBy(false), 0);
  EXPECT_EQ(readBy(false), 0) << "and again";
  const std::string record = Dir.Read(TVoVerifiedFiles::RecordName);
  RemoveFile(Dir.Path + TVoVerifiedFiles::RecordName);
  EXPECT_EQ(readBy(false), 18) << "the plain check reads both";
  EXPECT_EQ(readBy(false), 18) << "what it read is too fresh to be trusted";
  Dir.Write(TVoVerifiedFiles::RecordName, record);
  EXPECT_EQ(readBy(false), 0) << "the record read back";

  // A file changed since is read again and fetched.
  Dir.Write("a", "changed");
  EXPECT_EQ(readBy(true), 7);
  fresh()->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Connection->Calls, (std::vector<int32_t>{1, 2, 1}));
  EXPECT_EQ(readBy(false), 0);

  // The record is no file of the user's: it goes without "all files".
  fresh()->Remove(Dir.Path, false);
  EXPECT_EQ(OnDisk(), Strings{"user.txt"});
  EXPECT_FALSE(FileExists(Dir.Path + TVoVerifiedFiles::RecordName));
  fresh()->Remove(Dir.Path, true);
  EXPECT_TRUE(FindEntries(Dir.Path + "*").empty());
}

TEST_F(VoUpdateConfigDisk, AListedFileOfTheRecordsNameIsTheProductsOwn) {
  Load(Served(TVoVerifiedFiles::RecordName, 1) + Served("a", 2));
  Manifest->Update(Dir.Path, Connection, "admin:getFile");
  EXPECT_EQ(Dir.Read(TVoVerifiedFiles::RecordName), "content 1") << "fetched, never overwritten";
  EXPECT_FALSE(Manifest->NeedsUpdate(Dir.Path));
  EXPECT_EQ(Dir.Read(TVoVerifiedFiles::RecordName), "content 1");
  Manifest->Remove(Dir.Path, false);
  EXPECT_TRUE(FindEntries(Dir.Path + "*").empty());
}
