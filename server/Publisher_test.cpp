#include "server/Publisher.h"

#include "model/VoReleaseSeal.h"
#include "model/VoUpdateConfig.h"
#include "net/KaConnection.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "server/HttpServer.h"
#include "server/ReleaseStore.h"
#include "server/SigningKey.h"
#include "server/testing/ServerTesting.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* Description = "[installer]\n"
                          "displayName=Demo\n"
                          "appName=DemoSetup\n"
                          "appDir=C:\\Demo\\\n"
                          "payloadName=Demo.exe\n"
                          "[excludes]\n"
                          "|.svn\n"
                          "[modes]\n"
                          "settings.ini=createOnly\n"
                          "logs\\*=keep\n"
                          "[delete]\n"
                          "|old\\legacy.dll\n"
                          "[shortcuts]\n"
                          "|Demo,Demo.exe,Demo.exe,Starts Demo,,\n";

class PublisherTest : public testing::Test {
protected:
  PublisherTest() : Root(Temp.Dir() + "/work") {
    Write("app/Demo.exe", "program one");
    Write("app/settings.ini", "a=1");
    Write("app/bin/tool.dll", std::string(200000, 't'));
    Write("app/logs/today.log", "log");
    Write("app/.svn/entries", "vcs");
    Write("desc.ini", Description);
  }

  void Write(const std::string& path, const std::string& content) {
    fs::create_directories(fs::path(Root + "/" + path).parent_path());
    WriteFileAtomically(Root + "/" + path, content);
  }

  TPublishReport Publish() { return Publish(Options()); }
  TPublishReport Publish(const TPublishOptions& options) {
    std::ostringstream progress;
    return ::Publish(options, progress);
  }
  TPublishOptions Options() const { return {Root + "/store", Root + "/app", Root + "/desc.ini"}; }
  TPublishOptions Signed(int expiresDays = 0) const {
    TPublishOptions options = Options();
    options.SignKeyFile = KeyFile;
    options.ExpiresDays = expiresDays;
    options.SignedAt = SignedAt;
    return options;
  }
  std::string ManifestText(int release) const {
    return ReadWholeFile(Root + "/store/releases/" + std::to_string(release) + "/manifest");
  }
  size_t Blobs() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(Root + "/store/blobs"), fs::directory_iterator()));
  }

  IVoUpdateConfigPtr Manifest(int release) {
    IVoUpdateConfigPtr m = CreateUpdateConfig();
    m->SetText(ReadWholeFile(Root + "/store/releases/" + std::to_string(release) + "/manifest"));
    return m;
  }

  // path -> (id, mode) of every file entry
  std::map<std::string, std::pair<int, int>> Entries(int release) {
    std::map<std::string, std::pair<int, int>> out;
    std::function<void(const IVoNodePtr&, const std::string&)> walk = [&](const IVoNodePtr& dir,
                                                                          const std::string& at) {
      for (IVoNodePtr n = dir->GetFirstChild(); n; n = n->GetNext()) {
        if (auto f = std::dynamic_pointer_cast<IVoFolderFile>(n))
          out[at + f->GetName()] = {f->GetId(), f->GetMode()};
        else if (auto d = std::dynamic_pointer_cast<IVoFolderDir>(n))
          walk(n, at + d->GetName() + "\\");
      }
    };
    walk(Manifest(release)->GetFolder()->GetRoot(), "");
    return out;
  }

  TTempStore Temp;
  std::string Root;
  const std::string KeyFile = Temp.Dir() + "/vendor.key";
  static constexpr int64_t SignedAt = 1800000000;
};

TEST_F(PublisherTest, FirstReleaseListsModesDeletesAndShortcuts) {
  TPublishReport r = Publish();
  EXPECT_EQ(r.Release, 1);
  EXPECT_EQ(r.NewContents, 3) << "the kept log file is never fetched, so never stored";
  auto e = Entries(1);
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e["settings.ini"].second, umCreateOnly);
  EXPECT_EQ(e["Demo.exe"].second, umReplace);
  EXPECT_EQ(e["logs\\today.log"], std::make_pair(0, static_cast<int>(umKeep)));
  EXPECT_EQ(e["old\\legacy.dll"], std::make_pair(0, static_cast<int>(umDelete)));
  EXPECT_GT(e["bin\\tool.dll"].first, 0);
  EXPECT_EQ(e.count(".svn\\entries"), 0u);
  IVoUpdateConfigPtr m = Manifest(1);
  EXPECT_EQ(m->GetAppName(), "DemoSetup");
  EXPECT_EQ(m->GetPayloadName(), "Demo.exe");
  EXPECT_EQ(m->GetFolder()->GetPath(), "") << "no path of the publishing machine goes out";
  ASSERT_EQ(m->GetShortcuts()->GetCount(), 1);
  EXPECT_EQ(m->GetShortcuts()->GetItem(0)->GetDescription(), "Starts Demo");
  EXPECT_EQ(ReadWholeFile(Root + "/store/releases/1/product"), "Demo");
}

TEST_F(PublisherTest, UnchangedContentKeepsItsIdentifierAcrossReleases) {
  Publish();
  auto first = Entries(1);
  Write("app/Demo.exe", "program two");
  fs::remove(Root + "/app/settings.ini");
  Write("app/copy.dll", std::string(200000, 't')); // the same content as bin\tool.dll
  TPublishReport r = Publish();
  auto second = Entries(2);
  EXPECT_EQ(second["bin\\tool.dll"].first, first["bin\\tool.dll"].first);
  EXPECT_EQ(second["copy.dll"].first, first["bin\\tool.dll"].first) << "one content, one blob";
  EXPECT_GT(second["Demo.exe"].first, first["settings.ini"].first) << "new identifiers only grow";
  EXPECT_EQ(r.NewContents, 1);
  EXPECT_EQ(r.Added, std::vector<std::string>{"copy.dll"});
  EXPECT_EQ(r.Changed, std::vector<std::string>{"Demo.exe"});
  EXPECT_EQ(r.Removed, std::vector<std::string>{"settings.ini"});
  EXPECT_GT(r.DownloadBytes, 0);
  // Identifiers of the first release stay served.
  TReleaseStore store(Root + "/store");
  TBlobFile blob;
  std::string problem;
  for (auto& [path, entry] : first) {
    if (entry.first) {
      EXPECT_TRUE(store.OpenBlob(entry.first, blob, problem)) << path << problem;
    }
  }
}

// A publish killed while it compressed leaves its temporary blob behind. The
// next one holds the store's lock, so no other publisher can be writing it.
TEST_F(PublisherTest, TheNextPublishRemovesTemporaryBlobsOfAKilledOne) {
  Publish();
  std::string orphan = Root + "/store/blobs/7.tmp.99999";
  WriteFileAtomically(orphan, "the first half of a zlib stream");
  Publish();
  EXPECT_FALSE(fs::exists(orphan));
  EXPECT_EQ(Entries(2).size(), Entries(1).size());
}

// A link out of the folder would publish whatever it points at (the store's
// own secret, say) to anyone; a FIFO would hang the scan; a link loop would
// walk for seconds. Only regular files and directories inside the folder go
// out, and the refusal names the entry.
TEST_F(PublisherTest, OnlyRegularFilesInsideTheFolderArePublished) {
  TReleaseStore(Root + "/store").LoadOrCreateSecret();
  const std::string app = Root + "/app/";
  auto refused = [&](const std::string& entry, const std::string& name) {
    std::string message;
    // Before the scan knew better it hung in a FIFO; writers that come and
    // go let every read of it end, so that the test fails instead of hanging.
    std::atomic<bool> done{false};
    std::thread unblock([&] {
      for (int i = 0; !done; ++i) {
        std::this_thread::sleep_for(10ms);
        if (int fd = i > 300 ? ::open((app + entry).c_str(), O_WRONLY | O_NONBLOCK) : -1; fd >= 0)
          ::close(fd);
      }
    });
    try {
      Publish();
    } catch (const Exception& e) {
      message = e.Message();
    } catch (const std::exception& e) {
      message = e.what();
    }
    done = true;
    unblock.join();
    EXPECT_NE(message.find("\"" + name + "\""), std::string::npos) << entry << ": " << message;
    EXPECT_FALSE(fs::exists(Root + "/store/current")) << entry << " was published";
    fs::remove(app + entry);
  };
  fs::create_symlink(Root + "/store/secret", app + "secret.txt");
  refused("secret.txt", "secret.txt");
  fs::create_directory_symlink(Root + "/store", app + "bin/store");
  refused("bin/store", "bin\\store");
  fs::create_directory_symlink(app, app + "bin/loop");
  refused("bin/loop", "bin\\loop");
  fs::create_symlink(app + "Demo.exe", app + "bin/alias.exe");
  refused("bin/alias.exe", "bin\\alias.exe");
  ASSERT_EQ(::mkfifo((app + "pipe.dat").c_str(), 0600), 0);
  refused("pipe.dat", "pipe.dat");

  // A link that no mask takes is left out, as any other unlisted entry.
  fs::create_symlink(Root + "/store/secret", app + "secret.key");
  std::ostringstream progress;
  TPublishOptions options{Root + "/store", Root + "/app", Root + "/desc.ini"};
  WriteFileAtomically(Root + "/desc.ini",
                      std::string(Description) + "[masks]\n|*.exe\n|*.ini\n|*.dll\n|*.log\n");
  EXPECT_EQ(::Publish(options, progress).Release, 1);
}

TEST_F(PublisherTest, RefusesWhatClientsCouldNotInstall) {
  Write("app/DemoSetup.exe", "would overwrite the launcher copy");
  EXPECT_THROW(Publish(), EPublish);
  fs::remove(Root + "/app/DemoSetup.exe");
  Write("app/old/legacy.dll", "listed to delete and present");
  EXPECT_THROW(Publish(), EPublish);
  fs::remove_all(Root + "/app/old");
  Write("app/aux.txt", "a device name on Windows");
  EXPECT_THROW(Publish(), EPublish);
  EXPECT_FALSE(fs::exists(Root + "/store/current")) << "a refused publish makes no release";
}

// The client core installs from the served release, and a client that holds
// the first manifest still gets all of it while later releases are published.
TEST_F(PublisherTest, ClientsInstallFromTheServerAcrossAPublish) {
  Publish();
  RegisterHTTPBackEnds();
  TReleaseStore store(Root + "/store");
  TSessionScheme sessions(store.LoadOrCreateSecret(), 3600);
  TUpdateService service(store, sessions, [] { return int64_t{1800000000}; });
  TAccessLog log(nullptr);
  TServerOptions options;
  options.Port = 0;
  THttpServer server(service, log, options);
  server.Start();
  auto connection = std::make_shared<TConnection>();
  connection->SetHost("127.0.0.1:" + std::to_string(server.Port()));
  connection->SetPath(THttpServer::Path);

  IMessagePtr info = connection->NewMessage(TUpdateService::GetProductInfo);
  connection->Call(info);
  EXPECT_EQ(info->ReadWideString(), u"Demo");
  IVoUpdateConfigPtr manifest = CreateUpdateConfig();
  manifest->SetText(info->ReadString());

  Write("app/Demo.exe", "program two");
  Write("app/bin/tool.dll", std::string(200000, 'u'));
  Publish();

  std::string target = Temp.Dir() + "/installed";
  fs::create_directories(target + "/old");
  WriteFileAtomically(target + "/old/legacy.dll", "to go");
  std::string windowsTarget = target + "/";
  std::replace(windowsTarget.begin(), windowsTarget.end(), '/', '\\');
  manifest->Update(windowsTarget, connection, TUpdateService::GetFile);
  EXPECT_EQ(ReadWholeFile(target + "/Demo.exe"), "program one");
  EXPECT_EQ(ReadWholeFile(target + "/bin/tool.dll"), std::string(200000, 't'));
  EXPECT_EQ(ReadWholeFile(target + "/settings.ini"), "a=1");
  EXPECT_FALSE(fs::exists(target + "/logs/today.log"));
  EXPECT_FALSE(fs::exists(target + "/old/legacy.dll"));
  EXPECT_FALSE(manifest->NeedsUpdate(windowsTarget));
}

TEST_F(PublisherTest, ReadersSeeOneWholeReleaseOrTheNext) {
  TReleaseStore reader(Root + "/store");
  std::set<std::string> published;
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, seen{0};
  std::mutex lock;
  Publish();
  published.insert(ReadWholeFile(Root + "/store/releases/1/manifest"));
  std::thread watcher([&] {
    while (!done) {
      auto release = reader.Current();
      std::lock_guard guard(lock);
      ++seen;
      if (!published.count(release->Manifest) &&
          release->Manifest != ReadWholeFile(Root + "/store/releases/" +
                                             std::to_string(release->Number) + "/manifest"))
        ++torn;
    }
  });
  for (int i = 2; i <= 6; ++i) {
    Write("app/Demo.exe", "program " + std::to_string(i));
    Publish();
    std::lock_guard guard(lock);
    published.insert(ReadWholeFile(Root + "/store/releases/" + std::to_string(i) + "/manifest"));
  }
  done = true;
  watcher.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_GT(seen.load(), 0);
  EXPECT_EQ(reader.Current()->Number, 6);
}

} // namespace

TEST_F(PublisherTest, ASignedReleaseSealsEveryContentItListsAsClientsWillInflateIt) {
  GenerateSigningKey(KeyFile);
  const TEd25519KeyPair key = LoadSigningKey(KeyFile);
  const TPublishReport report = Publish(Signed(30));
  EXPECT_TRUE(report.Signed);
  EXPECT_EQ(report.Expires, SignedAt + 30 * 86400);
  EXPECT_NE(FormatReport(report).find("signed; expires 2027-"), std::string::npos)
      << FormatReport(report);

  const std::string text = ManifestText(1);
  const TVoVerifiedRelease release = VerifyRelease(text, key.PublicKey, SignedAt);
  EXPECT_EQ(release.Seal.Number, 1);
  EXPECT_EQ(release.Seal.Expires, SignedAt + 30 * 86400);
  EXPECT_EQ(release.Seal.DisplayName, "Demo");
  auto e = Entries(1);
  TVoContentSeals expected;
  expected[e["Demo.exe"].first] = {11, Sha256("program one")};
  expected[e["settings.ini"].first] = {3, Sha256("a=1")};
  expected[e["bin\\tool.dll"].first] = {200000, Sha256(std::string(200000, 't'))};
  EXPECT_EQ(release.Seal.Contents, expected) << "no seal for the kept and deleted files";
  EXPECT_EQ(UnsealedManifestText(text), Manifest(1)->GetText())
      << "what a program that checks nothing reads is the manifest as unsigned";
}

TEST_F(PublisherTest, ASignedStoreTakesOnlySignedReleasesAndResignKeepsTheFiles) {
  GenerateSigningKey(KeyFile);
  const TEd25519KeyPair key = LoadSigningKey(KeyFile);
  EXPECT_THROW(Publish([&] {
                 TPublishOptions o = Options();
                 o.ExpiresDays = 5;
                 return o;
               }()),
               EPublish)
      << "an expiry without a signature";
  EXPECT_THROW(Resign({Root + "/store", KeyFile}), EPublish) << "nothing to sign yet";
  EXPECT_FALSE(fs::exists(Root + "/store/current"));

  Publish(Signed());
  EXPECT_EQ(VerifyRelease(ManifestText(1), key.PublicKey, 0).Seal.Expires, 0) << "never";
  Write("app/Demo.exe", "program two");
  EXPECT_THROW(Publish(), EPublish) << "unsigned on top of signed";
  EXPECT_EQ(TReleaseStore(Root + "/store").CurrentNumber(), 1);
  EXPECT_FALSE(fs::exists(Root + "/store/releases/2"));

  Write("app/Demo.exe", "program one");
  const size_t blobs = Blobs();
  const TResignReport resigned = Resign({Root + "/store", KeyFile, 7, SignedAt});
  EXPECT_EQ(resigned.Release, 2);
  EXPECT_EQ(resigned.ResignedOf, 1);
  EXPECT_EQ(FormatReport(resigned), "release 2 is current (release 1 signed anew, the same "
                                    "files)\nsigned; expires 2027-01-22T08:00:00Z\n");
  EXPECT_EQ(Blobs(), blobs);
  EXPECT_EQ(TReleaseStore(Root + "/store").CurrentNumber(), 2);
  const TVoVerifiedRelease first = VerifyRelease(ManifestText(1), key.PublicKey, SignedAt);
  const TVoVerifiedRelease second = VerifyRelease(ManifestText(2), key.PublicKey, SignedAt);
  EXPECT_EQ(second.Seal.Number, 2);
  EXPECT_EQ(second.Seal.Expires, SignedAt + 7 * 86400);
  EXPECT_EQ(second.Seal.Contents, first.Seal.Contents);
  EXPECT_EQ(UnsealedManifestText(ManifestText(2)), UnsealedManifestText(ManifestText(1)));
  EXPECT_EQ(ReadWholeFile(Root + "/store/releases/2/product"), "Demo");

  // An unsigned store's current release can be signed after the fact, too.
  TTempStore other;
  TPublishOptions plain{other.Dir() + "/store", Root + "/app", Root + "/desc.ini"};
  std::ostringstream progress;
  ::Publish(plain, progress);
  const TResignReport late = Resign({other.Dir() + "/store", KeyFile});
  EXPECT_EQ(
      VerifyRelease(ReadWholeFile(other.Dir() + "/store/releases/2/manifest"), key.PublicKey, 0)
          .Seal.Contents,
      first.Seal.Contents);
  EXPECT_EQ(late.Expires, 0);
}
