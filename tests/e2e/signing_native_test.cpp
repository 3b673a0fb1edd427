// Signed releases natively against `websetup serve`: the vendor's tool
// publishes and signs, the server serves the store, and the roles of
// setup.exe (install, launcher check, update, uninstall), the same code the
// Windows program runs, trust the vendor's key. Forged releases are put into
// the store as a break-in would: each is refused with its text, the launcher
// decides to start nothing, and no file of the installation changes.

#include "base/KaFiles.h"
#include "model/VoReleaseSeal.h"
#include "model/VoVerifiedFiles.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "server/Publisher.h"
#include "server/ReleaseStore.h"
#include "server/SigningKey.h"
#include "server/testing/ServerProcess.h"
#include "server/testing/ServerTesting.h"
#include "setup/InstallProcedure.h"
#include "setup/LauncherCheck.h"
#include "setup/ProductInfo.h"
#include "setup/ReleaseTrust.h"
#include "setup/UninstallProcedure.h"
#include "setup/UpdateProcedure.h"
#include "setup/testing/ProcedureFixture.h"
#include "setup/testing/TrustScope.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SignedReleasesServed : public ProcedureFixture {
protected:
  void SetUp() override {
    RegisterHTTPBackEnds();
    Root = Temp.Dir();
    Store = Root + "/store";
    fs::create_directories(Root + "/app");
    WriteApp("demo.exe", "program 1");
    WriteApp("version.txt", "1.0\r\n");
    WriteApp("data.bin", Noise(300 * 1024, 1));
    WriteFileAtomically(Root + "/desc.ini", "[installer]\ndisplayName=Demo\nappName=" + AppName +
                                                "\nappDir=C:\\Demo\\\npayloadName=demo.exe\n");
    GenerateSigningKey(Root + "/vendor.key");
    GenerateSigningKey(Root + "/stranger.key");
    Trust.emplace(LoadSigningKey(Root + "/vendor.key").PublicKey);
    ASSERT_EQ(Publish(), 1);
    Serve = std::make_unique<TServerProcess>(WEBSETUP_TOOL, Store, std::vector<std::string>{},
                                             Root + "/serve.log");
    Host = "127.0.0.1:" + std::to_string(Serve->Port());
  }

  // A file of the vendor's folder, built a day after the one before: a file
  // of the same size whose time stamp matches the installed one is taken as
  // current unread, and real releases are built long before they install.
  void WriteApp(const std::string& name, const std::string& content) {
    const std::string path = Root + "/app/" + name;
    WriteFileAtomically(path, content);
    static const auto start = fs::file_time_type::clock::now() - std::chrono::hours(24 * 1000);
    fs::last_write_time(path, start + std::chrono::hours(24 * ++Built));
  }
  int Built = 0;
  int Publish() {
    TPublishOptions options;
    options.StoreDir = Store;
    options.AppDir = Root + "/app";
    options.DescriptionFile = Root + "/desc.ini";
    options.SignKeyFile = Root + "/vendor.key";
    std::ostringstream progress;
    return ::Publish(options, progress).Release;
  }
  int Resign(const std::string& key, int expiresDays = 0, int64_t signedAt = 0) {
    return ::Resign({Store, Root + "/" + key, expiresDays, signedAt}).Release;
  }
  std::string Current() const { return Trim(Slurp(Store + "/current")); }
  void MakeCurrent(const std::string& number) const {
    WriteFileAtomically(Store + "/current", number + "\n");
  }
  // A release that no publish made, with the given manifest text.
  void Forge(const std::string& number, const std::string& manifest) const {
    fs::create_directories(Store + "/releases/" + number);
    fs::copy_file(Store + "/releases/1/product", Store + "/releases/" + number + "/product");
    WriteFileAtomically(Store + "/releases/" + number + "/manifest", manifest);
    MakeCurrent(number);
  }
  std::string ManifestOf(const std::string& number) const {
    return Slurp(Store + "/releases/" + number + "/manifest");
  }
  // The content identifier the current release lists for a file name.
  std::string ContentId(const std::string& name) const {
    std::smatch m;
    const std::string text = ManifestOf(Current());
    EXPECT_TRUE(std::regex_search(text, m, std::regex("\\|-([0-9]+),[^\r]*," + name + "\r")))
        << name;
    return m[1];
  }
  // Replaces a stored blob, and its size in the index, as a break-in would.
  void SwapBlob(const std::string& id, const std::string& bytes) const {
    WriteFileAtomically(Store + "/blobs/" + id, bytes);
    std::istringstream index(Slurp(Store + "/index"));
    std::string line, out;
    while (std::getline(index, line)) {
      std::istringstream fields(line);
      std::string hash, lineId;
      fields >> hash >> lineId;
      out += (lineId == id ? hash + " " + id + " " + std::to_string(bytes.size()) : line) + "\n";
    }
    WriteFileAtomically(Store + "/index", out);
  }

  // The roles, each as a fresh start of the program: what a refusal says,
  // "(accepted)" otherwise.
  template <class Call> static std::string Refusal(Call call) {
    try {
      call();
    } catch (const EReleaseSeal& e) {
      return e.Message();
    }
    return "(accepted)";
  }
  std::string Install(const std::string& dir) {
    return Refusal([&] {
      TProductInfo product(Host);
      product.CreateConnection();
      product.FetchProductInfo();
      RunInstall(product.ManifestText(), product.Connection(), dir, Setup);
    });
  }
  // The launcher's decision and its Error page's text.
  std::pair<TStartMode, std::string> Launch() {
    TProductInfo product(Host);
    product.CreateConnection();
    std::string errorText;
    const TStartMode mode = RunLauncherCheck(product, InstallDir, errorText);
    return {mode, errorText};
  }
  std::string Update() {
    return Refusal([&] {
      TProductInfo product(Host);
      product.CreateConnection();
      product.FetchProductInfo();
      RunUpdate(product.ManifestText(), product.Connection(), InstallDir);
    });
  }
  std::string Uninstall() {
    return Refusal([&] {
      TProductInfo product(Host);
      product.CreateConnection();
      product.FetchProductInfo();
      RunUninstall(product.ManifestText(), InstallDir, false);
    });
  }

  // Every file of the installation with its content, but the record of
  // verified files, which a scan may bring up to date.
  std::map<std::string, std::string> Installed(bool withRecord = true) const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(ToPosix(InstallDir)))
      if (e.is_regular_file() && e.path().filename() != TVoVerifiedFiles::RecordName &&
          (withRecord || e.path().extension() != ".release"))
        files[e.path().string()] = Slurp(e.path().string());
    return files;
  }
  static std::string ToPosix(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }
  std::string InstalledFile(const std::string& name) const {
    return Slurp(ToPosix(InstallDir) + name);
  }
  std::string Record() const { return InstalledFile(AppName + ".release"); }

  TTempStore Temp;
  std::optional<TTrustScope> Trust; // as setup.exe stamped with the vendor's key
  std::string Root, Store, Host;
  std::unique_ptr<TServerProcess> Serve;
};

} // namespace

TEST_F(SignedReleasesServed, TheVendorsReleaseInstallsLaunchesUpdatesAndUninstalls) {
  ASSERT_EQ(Install(InstallDir), "(accepted)");
  for (const char* name : {"demo.exe", "version.txt", "data.bin"})
    EXPECT_EQ(InstalledFile(name), Slurp(Root + "/app/" + name)) << name;
  EXPECT_EQ(Record(), "1");
  EXPECT_EQ(Launch(), std::make_pair(TStartMode::smLaunch, std::string()));

  WriteApp("version.txt", "2.0\r\n");
  ASSERT_EQ(Publish(), 2);
  EXPECT_EQ(Launch(), std::make_pair(TStartMode::smUpdate, std::string()));
  EXPECT_EQ(Update(), "(accepted)");
  EXPECT_EQ(InstalledFile("version.txt"), "2.0\r\n");
  EXPECT_EQ(Record(), "2");
  EXPECT_EQ(Launch().first, TStartMode::smLaunch);

  // Signed anew with an expiry, the same files: a new release, nothing to fetch.
  ASSERT_EQ(Resign("vendor.key", 30), 3);
  EXPECT_EQ(Launch().first, TStartMode::smLaunch);
  EXPECT_EQ(Record(), "3");

  EXPECT_EQ(Uninstall(), "(accepted)");
  EXPECT_FALSE(fs::exists(ToPosix(InstallDir) + "demo.exe"));
  EXPECT_FALSE(fs::exists(ToPosix(InstallDir) + AppName + ".release"));
}

TEST_F(SignedReleasesServed, EveryForgedOrStaleReleaseIsRefusedAndChangesNothing) {
  ASSERT_EQ(Install(InstallDir), "(accepted)");
  WriteApp("version.txt", "2.0\r\n");
  ASSERT_EQ(Publish(), 2);
  ASSERT_EQ(Update(), "(accepted)");
  const auto before = Installed();

  auto refused = [&](const std::string& what, const std::string& error, bool fresh = true) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Launch(), std::make_pair(TStartMode::smError, error));
    EXPECT_EQ(Update(), error);
    EXPECT_EQ(Uninstall(), error);
    EXPECT_EQ(Installed(), before) << "no file of the installation changed";
    if (fresh) {
      const std::string other = Dir.Path + "Fresh " + what + "\\";
      ForceDirectories(other);
      EXPECT_EQ(Install(other), error);
      EXPECT_TRUE(fs::is_empty(ToPosix(other))) << "a refused install writes nothing";
    }
  };

  // One byte of the signed text altered.
  std::string altered = ManifestOf("2");
  const size_t at = altered.find("payloadName=demo.exe");
  ASSERT_NE(at, std::string::npos);
  altered[at + 16] = 'E';
  Forge("101", altered);
  refused("altered", ReleaseSignatureError);

  // The signature section taken away: what is left is a plain manifest.
  Forge("102", UnsealedManifestText(ManifestOf("2")));
  refused("unsigned", ReleaseSignatureError);

  MakeCurrent("2");
  Resign("stranger.key");
  refused("stranger", ReleaseSignatureError);

  MakeCurrent("2");
  Resign("vendor.key", 1, CurrentUnixTime() - 2 * 86400);
  refused("expired", ReleaseExpiredError);

  // The vendor's own older release, after a newer one was taken.
  MakeCurrent("1");
  refused("rollback", ReleaseRollbackError, false);
  EXPECT_EQ(Record(), "2");
  ForceDirectories(Dir.Path + "Another\\");
  EXPECT_EQ(Install(Dir.Path + "Another\\"), "(accepted)")
      << "a new installation has taken nothing yet";
}

TEST_F(SignedReleasesServed, FetchedContentThatIsNotTheSignedOneIsRefused) {
  ASSERT_EQ(Install(InstallDir), "(accepted)");

  // Other bytes of the same size in the store.
  WriteApp("version.txt", "2.0\r\n");
  ASSERT_EQ(Publish(), 2);
  SwapBlob(ContentId("version.txt"), Deflate("9.9\r\n"));
  const auto before = Installed(false);
  EXPECT_EQ(Launch().first, TStartMode::smUpdate);
  EXPECT_EQ(Update(), std::string(ReleaseContentError) + " " + InstallDir + "version.txt");
  EXPECT_EQ(Installed(false), before) << "the old file stays";
  EXPECT_EQ(Temporaries(InstallDir), 0);
  EXPECT_EQ(Record(), "2") << "the release itself is the vendor's";

  // About 1 MB that inflates to 1 GB: inflating stops at the signed size.
  WriteApp("version.txt", "3.0\r\n");
  WriteApp("data.bin", Noise(1536 * 1024, 2)); // its answer may be larger than the bomb
  ASSERT_EQ(Publish(), 3);
  const std::string bomb = DeflatedZeros(uint64_t(1) << 30);
  ASSERT_LT(bomb.size(), 1100u * 1024);
  SwapBlob(ContentId("data.bin"), bomb);
  EXPECT_EQ(Update(), std::string(ReleaseContentError) + " " + InstallDir + "data.bin");
  EXPECT_EQ(InstalledFile("data.bin"), before.at(ToPosix(InstallDir) + "data.bin"));
  EXPECT_EQ(Temporaries(InstallDir), 0);
  EXPECT_EQ(Launch().first, TStartMode::smUpdate) << "nothing was started";
}
