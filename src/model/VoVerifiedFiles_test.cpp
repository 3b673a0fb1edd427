#include "model/VoVerifiedFiles.h"

#include "base/KaDateUtils.h"
#include "base/KaStrings.h"
#include "model/VoFolder_impl.h"
#include "model/VoUpdateConfig_impl.h"
#include "model/testing/VoTesting.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

// A margin that a test can wait out: well beyond a tick of the file clock
// (the kernel's coarse clock, a few milliseconds behind the precise one).
constexpr int64_t TestMarginMs = 60;

void WaitOutMargin() { std::this_thread::sleep_for(std::chrono::milliseconds(TestMarginMs + 40)); }

TFileStamp StampOf(const std::string& fileName) {
  TFileStamp stamp;
  EXPECT_TRUE(GetFileStamp(fileName, stamp)) << fileName;
  return stamp;
}

// Sets the write time back, as any program may.
void SetWriteTime(const std::string& fileName, int64_t time) {
  TFileStream file(fileName, fmOpenReadWrite | fmShareDenyNone);
  EXPECT_TRUE(file.SetWriteTime(time));
}

// Everything a scan decided, entry by entry, in walk order.
std::vector<std::string> Decisions(const IVoNodePtr& root) {
  std::vector<std::string> out;
  TVoFolderWalk walk;
  walk.EnterDir = [&](const IVoNodePtr&, IVoFolderDir& d, const std::string& prefix) {
    out.push_back(prefix + d.GetName() + "\\ " + IntToStr(d.GetState()));
    return true;
  };
  walk.File = [&](const IVoNodePtr&, IVoFolderFile& f, const std::string& prefix) {
    out.push_back(prefix + f.GetName() + " " + IntToStr(f.GetState()) + " " + IntToStr(f.GetCRC()) +
                  " " + IntToStr(f.GetSize()) + " " + DateTimeToStamp(f.GetTime()) + " " +
                  "nfd"[static_cast<int>(UpdateAction(f))]);
  };
  WalkFolder(root, "", walk);
  return out;
}

} // namespace

TEST(VoVerifiedFiles, KeepsWhatWasProvedAndRefusesADamagedRecord) {
  TScratchDir dir;
  dir.Write("a", "alpha");
  dir.Write("sub\\b", "beta");
  const int64_t past = FileClockNow() - 3600 * FileClockTicksPerSecond();
  WaitOutMargin();
  TVoVerifiedFiles v(dir.Path, TestMarginMs);
  v.Read("a", StampOf(dir.Path + "a"), 111, TVoVerifiedFiles::Now());
  v.Read("sub\\b", StampOf(dir.Path + "sub\\b"), 222, past);
  EXPECT_EQ(v.Count(), 1) << "b changed after the observation said to be before it";
  ASSERT_TRUE(v.Save());

  TVoVerifiedFiles back(dir.Path, TestMarginMs);
  back.Load();
  uint32_t crc = 0;
  EXPECT_TRUE(back.Meet("a", StampOf(dir.Path + "a"), crc));
  EXPECT_EQ(crc, 111u);
  EXPECT_FALSE(back.Meet("sub\\b", StampOf(dir.Path + "sub\\b"), crc));
  EXPECT_FALSE(back.Changed()) << "nothing new, nothing dropped";

  // The same name with another stamp is another file: the entry goes.
  dir.Write("a", "ALPHA");
  EXPECT_FALSE(back.Meet("a", StampOf(dir.Path + "a"), crc));
  EXPECT_TRUE(back.Changed());
  EXPECT_EQ(back.Count(), 0);

  // A record that does not read back whole is empty, however it was hurt.
  const std::string whole = dir.Read(TVoVerifiedFiles::RecordName);
  for (const std::string& hurt : std::vector<std::string>{
           whole.substr(0, whole.size() - 3), whole.substr(0, whole.size() / 2),
           std::string(whole).replace(whole.size() / 2, 1, "#"), "", "garbage\r\n"}) {
    dir.Write(TVoVerifiedFiles::RecordName, hurt);
    TVoVerifiedFiles damaged(dir.Path, TestMarginMs);
    damaged.Load();
    EXPECT_EQ(damaged.Count(), 0) << hurt;
  }
  dir.Write(TVoVerifiedFiles::RecordName, whole);
  TVoVerifiedFiles again(dir.Path, TestMarginMs);
  again.Load();
  EXPECT_EQ(again.Count(), 1);

  // Save keeps only the files that were met, and writes nothing unchanged.
  again.Forget("nothing");
  EXPECT_FALSE(again.Changed());
  ASSERT_TRUE(again.Save());
  TVoVerifiedFiles pruned(dir.Path, TestMarginMs);
  pruned.Load();
  EXPECT_EQ(pruned.Count(), 0) << "a was not met";
  TVoVerifiedFiles::Remove(dir.Path);
  EXPECT_FALSE(FileExists(dir.Path + TVoVerifiedFiles::RecordName));
}

TEST(VoVerifiedFiles, AFileWrittenWithItsTimeSetBackIsTrustedAtOnce) {
  TScratchDir dir;
  TVoVerifiedFiles v(dir.Path, TestMarginMs);
  dir.Write("w", "written");
  TFileStamp written = StampOf(dir.Path + "w");
  v.Written("w", written, 5);
  EXPECT_EQ(v.Count(), 0) << "the write time is now: a change this tick would not show";
  SetWriteTime(dir.Path + "w", TVoVerifiedFiles::Now() - v.WriteBackdate());
  v.Written("w", StampOf(dir.Path + "w"), 5);
  EXPECT_EQ(v.Count(), 1);
}

namespace {

// Random trees and random edits: a scan with the record of verified files
// must decide exactly as the plain scan, entry by entry and CRC by CRC, and
// NeedsUpdate must answer the same.
class VerifiedFilesEquivalence : public ::testing::TestWithParam<unsigned> {
protected:
  void SetUp() override { Random.seed(GetParam()); }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Random); }
  bool Chance(int percent) { return Pick(100) < percent; }

  // Short contents of few letters, so that new content of the same size is common.
  std::string Content() {
    std::string s(static_cast<size_t>(Pick(40)), 'a');
    for (char& c : s)
      c = "ab"[Pick(2)];
    return s;
  }

  void MakeTree(const std::string& dir, int depth) {
    for (int i = Pick(5); i >= 0; --i) {
      std::string name = dir + "f" + IntToStr(Pick(1000)) + (Chance(50) ? ".dat" : ".txt");
      Dir.Write(name, Content());
      Files.push_back(name);
    }
    if (depth < 3)
      for (int i = Pick(3); i > 0; --i)
        MakeTree(dir + "d" + IntToStr(Pick(100)) + "\\", depth + 1);
  }

  // The list: most files as published and installed with the same time,
  // others as fetched (another time), changed on the server, or gone.
  std::string ListText() {
    std::string text = "|=\r\n|:*\r\n";
    if (Chance(50))
      text += "|:*.dat\r\n";
    if (Chance(30))
      text += "|~d" + IntToStr(Pick(100)) + "\r\n";
    std::map<std::string, std::string> lines; // by directory, sorted
    auto line = [&](const std::string& file) {
      TFileStamp stamp;
      int32_t size = 7;
      uint32_t crc = 12345;
      TDateTime time = EncodeDateTime({2020, 1, 1, 0, 0, 0, 0});
      if (GetFileStamp(Dir.Path + file, stamp)) {
        auto found = FindEntries(Dir.Path + file);
        size = static_cast<int32_t>(found.at(0).Size);
        crc = FileCRC(Dir.Path + file);
        switch (Pick(4)) {
        case 0: time = found[0].Time; break; // installed with the published time
        case 1: crc ^= 1; break;             // changed on the server
        default: break;                      // fetched: the disk has its own time
        }
      }
      const std::string name = CopyAfterLast("\\", "\\" + file);
      return "|-" + IntToStr(1 + Pick(50)) + "," + IntToStr(size) + "," + IntToStr(crc) + "," +
             DateTimeToStamp(time) + "," + IntToStr(Pick(3) == 0 ? umCreateOnly : umReplace) + "," +
             Escape(name) + "\r\n";
    };
    for (const std::string& f : Files)
      if (Chance(85))
        lines[ExtractDir(f)] += line(f);
    lines["gone\\"] += line("gone\\missing.txt");
    // Directory lines for every level, children before the closing line.
    std::function<void(const std::string&)> emit = [&](const std::string& dir) {
      text += lines[dir];
      std::set<std::string> subs;
      for (const auto& [d, l] : lines)
        if (d.size() > dir.size() && d.compare(0, dir.size(), dir) == 0)
          subs.insert(d.substr(dir.size(), d.find('\\', dir.size()) - dir.size()));
      for (const std::string& s : subs) {
        text += "|+0,0," + Escape(s) + "\r\n";
        emit(dir + s + "\\");
        text += "|x\r\n";
      }
    };
    emit("");
    return text + "|x\r\n";
  }

  void Edit() {
    for (size_t i = 0; i < Files.size(); ++i) {
      if (!Chance(25))
        continue;
      const std::string file = Dir.Path + Files[i];
      TFileStamp before;
      const bool present = GetFileStamp(file, before);
      switch (Pick(9)) {
      case 0: // new content of the same size, the write time put back
        if (present) {
          std::string now = Dir.Read(Files[i]);
          for (char& c : now)
            c = c == 'a' ? 'b' : 'a';
          Dir.Write(Files[i], now);
          SetWriteTime(file, before.WriteTime);
        }
        break;
      case 1: // the same content written again
        if (present)
          Dir.Write(Files[i], Dir.Read(Files[i]));
        break;
      case 2: // touched to another time
        if (present)
          SetWriteTime(file, before.WriteTime - FileClockTicksPerSecond() * (1 + Pick(5000)));
        break;
      case 3: // touched to the time it had
        if (present)
          SetWriteTime(file, before.WriteTime);
        break;
      case 4: // cut short
        if (present) {
          TFileStream f(file, fmOpenReadWrite | fmShareDenyNone);
          f.SetSize(before.Size / 2);
        }
        break;
      case 5: RemoveFile(file); break;
      case 6: Dir.Write(Files[i], Content()); break;
      case 7: { // a new file
        std::string name = ExtractDir(Files[i]).substr(0) + "n" + IntToStr(Pick(1000)) + ".txt";
        Dir.Write(name, Content());
        Files.push_back(name);
        break;
      }
      default: break;
      }
    }
  }

  void DamageTheRecord(std::string& kept) {
    const std::string record = Dir.Path + TVoVerifiedFiles::RecordName;
    switch (Pick(8)) {
    case 0: RemoveFile(record); break;
    case 1: // a stale one from earlier
      if (!kept.empty())
        Dir.Write(TVoVerifiedFiles::RecordName, kept);
      break;
    case 2:
      if (FileExists(record)) {
        std::string text = Dir.Read(TVoVerifiedFiles::RecordName);
        if (!text.empty())
          text[static_cast<size_t>(Pick(static_cast<int>(text.size())))] ^= 0x10;
        Dir.Write(TVoVerifiedFiles::RecordName, text);
      }
      break;
    case 3:
      if (FileExists(record))
        kept = Dir.Read(TVoVerifiedFiles::RecordName);
      break;
    default: break;
    }
  }

  std::mt19937 Random;
  TScratchDir Dir;
  std::vector<std::string> Files;
};

} // namespace

TEST_P(VerifiedFilesEquivalence, DecisionsWithTheRecordAreThoseWithoutIt) {
  MakeTree("", 0);
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  IVoFolderPtr folder = manifest->GetFolder();
  folder->SetText(ListText());
  folder->SetPath(Dir.Path);
  auto& impl = dynamic_cast<TVoFolder&>(*folder);
  int trusted = 0, rounds = 0;
  std::string kept;
  for (; rounds < 40; ++rounds) {
    // Half the rounds scan at once after the edits, within the margin.
    if (Chance(50))
      WaitOutMargin();

    TVoVerifiedFiles verified(Dir.Path, TestMarginMs);
    verified.Load();
    TVoScanOptions options;
    options.Verified = &verified;
    options.Hidden = TVoVerifiedFiles::RecordName;
    const std::vector<std::string> with = Decisions(impl.Scan(options));
    ASSERT_TRUE(verified.Save());
    trusted += verified.Hits();

    // The plain scan, with the record's own file taken out of what it found.
    IVoNodePtr plain = folder->Scan();
    for (IVoNodePtr c = plain->GetFirstChild(); c; c = c->GetNext())
      if (auto f = std::dynamic_pointer_cast<IVoFolderFile>(c);
          f && f->GetName() == TVoVerifiedFiles::RecordName) {
        c->Remove();
        break;
      }
    ASSERT_EQ(with, Decisions(plain)) << "seed " << GetParam() << " round " << rounds;

    bool needed = false;
    WalkFolder(plain, "",
               TVoFolderWalk{nullptr, nullptr,
                             [&](const IVoNodePtr&, IVoFolderFile& f, const std::string&) {
                               needed = needed || UpdateAction(f) == TVoAction::Fetch;
                             }});
    EXPECT_EQ(manifest->NeedsUpdate(Dir.Path), needed) << "seed " << GetParam();

    Edit();
    DamageTheRecord(kept);
  }
  EXPECT_GT(trusted, 0) << "the record was never used";
}

INSTANTIATE_TEST_SUITE_P(Seeds, VerifiedFilesEquivalence, ::testing::Values(1u, 2u, 3u, 4u));
