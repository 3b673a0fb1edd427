// websetup: the vendor's tool. publish turns an application folder into a
// release of the store, serve runs the update server on the store, stamp
// writes the server's host (and the vendor's public key) into a copy of
// setup.exe, deploy-example writes the files that run several servers behind
// nginx under systemd; keygen makes the key pair that signs releases, resign
// signs the current release anew.

#include "server/DeployExample.h"
#include "server/HttpServer.h"
#include "server/Publisher.h"
#include "server/SigningKey.h"
#include "websetup/HostStamp.h"

#include "base/KaStrings.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <thread>

namespace {

struct TServeArgs {
  std::string Store;
  std::string SecretFile; // empty: the store's own secret
  std::string Admin;      // HOST:PORT, empty: no admin listener
  TServerOptions Server;
  int FirstByteSeconds = 5, ReadSeconds = 10, IdleSeconds = 30, WriteSeconds = 30;
  double SessionHours = 12;
  bool Quiet = false;
};

// "127.0.0.1:9090", "[::1]:9090" or ":9090" (loopback).
void ParseAdminAddress(const std::string& text, TServerOptions& server) {
  size_t colon = text.rfind(':');
  int64_t port = -1;
  if (colon == std::string::npos || !TryStrToInt64(text.substr(colon + 1), port) || port < 0 ||
      port > 65535)
    throw Exception("--admin-address wants HOST:PORT, not \"" + text + "\"");
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  server.AdminAddress = host.empty() ? "127.0.0.1" : host;
  server.AdminPort = static_cast<uint16_t>(port);
}

int Serve(TServeArgs& a) {
  a.Server.FirstByteTime = std::chrono::seconds(a.FirstByteSeconds);
  a.Server.ReadTime = std::chrono::seconds(a.ReadSeconds);
  a.Server.IdleTime = std::chrono::seconds(a.IdleSeconds);
  a.Server.WriteTime = std::chrono::seconds(a.WriteSeconds);
  if (!a.Admin.empty())
    ParseAdminAddress(a.Admin, a.Server);
  TReleaseStore store(a.Store);
  // Processes that share a secret accept each other's sessions; a store may
  // then be read-only to them.
  std::string secret =
      a.SecretFile.empty() ? store.LoadOrCreateSecret() : LoadSecretFile(a.SecretFile);
  TSessionScheme sessions(secret, static_cast<int64_t>(a.SessionHours * 3600));
  TUpdateService service(store, sessions, [] { return static_cast<int64_t>(std::time(nullptr)); });
  TAccessLog log(a.Quiet ? nullptr : stderr);
  THttpServer server(service, log, a.Server);
  server.StopOnSignals();
  server.Start();
  // Scripts start the server on port 0 and read the port from this line.
  std::printf("listening on %s:%u\n", a.Server.Address.c_str(), server.Port());
  if (server.AdminPort() != 0)
    std::printf("admin listening on %s:%u\n", a.Server.AdminAddress.c_str(), server.AdminPort());
  std::fflush(stdout);
  server.Wait();
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  CLI::App app{"websetup: publish an application, serve its updates, stamp setup.exe"};
  app.require_subcommand(1);

  TPublishOptions publish;
  CLI::App* pub = app.add_subcommand(
      "publish", "Add a release of an application folder to the store and make it current");
  pub->add_option("--store", publish.StoreDir, "The release store folder (created when missing)")
      ->required();
  pub->add_option("--description", publish.DescriptionFile,
                  "The release description (INI-like text)")
      ->required()
      ->check(CLI::ExistingFile);
  pub->add_option("folder", publish.AppDir, "The application folder to publish")
      ->required()
      ->check(CLI::ExistingDirectory);
  pub->add_flag("--trust-times", publish.TrustTimes,
                "Take files whose size and time stamp are unchanged as unchanged, unread");
  pub->add_option("--sign-key", publish.SignKeyFile,
                  "Sign the release with this private key file (websetup keygen)")
      ->check(CLI::ExistingFile);
  pub->add_option("--expires-days", publish.ExpiresDays,
                  "A signed release expires this many days from now (default: never)")
      ->check(CLI::Range(1, 36500));

  TResignOptions resign;
  CLI::App* res = app.add_subcommand(
      "resign", "Sign the current release anew (a new expiry), as a new release of the same files");
  res->add_option("--store", resign.StoreDir, "The release store folder")->required();
  res->add_option("--sign-key", resign.SignKeyFile, "The private key file (websetup keygen)")
      ->required()
      ->check(CLI::ExistingFile);
  res->add_option("--expires-days", resign.ExpiresDays,
                  "The release expires this many days from now (default: never)")
      ->check(CLI::Range(1, 36500));

  std::string keyFile;
  CLI::App* keygen = app.add_subcommand(
      "keygen", "Make the Ed25519 key pair that signs releases: FILE (private, mode 0600) and "
                "FILE.pub");
  keygen->add_option("--out", keyFile, "The private key file to create; never replaced")
      ->required();

  TServeArgs serve;
  CLI::App* srv = app.add_subcommand("serve", "Run the update server on a store");
  srv->add_option("--store", serve.Store, "The release store folder")->required();
  srv->add_option("--address", serve.Server.Address, "Address to listen on")->capture_default_str();
  srv->add_option("--port", serve.Server.Port, "Port to listen on; 0 picks a free one")
      ->capture_default_str();
  srv->add_option("--threads", serve.Server.Threads, "Worker threads; 0 is one per core")
      ->capture_default_str();
  auto positive = [srv](const char* name, auto& value, const char* help) {
    srv->add_option(name, value, help)->capture_default_str()->check(CLI::PositiveNumber);
  };
  positive("--max-connections", serve.Server.MaxConnections,
           "Connections served at once; more are closed at once");
  positive("--max-per-address", serve.Server.MaxPerAddress,
           "Connections one client address (an IPv6 /64) may hold at once");
  positive("--first-byte-timeout", serve.FirstByteSeconds,
           "Seconds a new connection may take to send its first byte");
  positive("--read-timeout", serve.ReadSeconds,
           "Seconds a request may take to arrive, from its first byte");
  positive("--idle-timeout", serve.IdleSeconds,
           "Seconds a kept-alive connection may wait for its next request");
  positive("--write-timeout", serve.WriteSeconds,
           "Seconds an answer may go without the client taking a byte of it");
  positive("--session-hours", serve.SessionHours, "Lifetime of a session");
  srv->add_flag("--quiet", serve.Quiet, "No access log on stderr");
  srv->add_option("--secret-file", serve.SecretFile,
                  "The session secret (hex) shared by every server process of the product, "
                  "private to the server's user; default: the store's own secret");
  srv->add_option("--admin-address", serve.Admin,
                  "HOST:PORT of a second listener with GET /healthz and /metrics; off by default");

  TDeployOptions deploy;
  std::string deployDir;
  CLI::App* dep = app.add_subcommand(
      "deploy-example", "Write a systemd unit and an nginx site for several servers behind nginx");
  dep->add_option("--out", deployDir, "The folder to write the files into")->required();
  dep->add_option("--ports", deploy.Ports, "The servers' loopback ports, one instance each")
      ->delimiter(',')
      ->capture_default_str();
  dep->add_option("--admin-ports", deploy.AdminPorts,
                  "One admin port per server port (/healthz, /metrics); 0 for none")
      ->delimiter(',')
      ->capture_default_str();
  dep->add_option("--listen", deploy.Listen, "nginx's listen parameter")->capture_default_str();
  dep->add_option("--server-name", deploy.ServerName, "nginx's server_name")->capture_default_str();
  dep->add_option("--store", deploy.Store, "The release store")->capture_default_str();
  dep->add_option("--tool", deploy.Tool, "Where websetup is installed")->capture_default_str();
  dep->add_option("--secret-file", deploy.SecretFile, "The shared session secret")
      ->capture_default_str();
  dep->add_option("--user", deploy.User, "The servers' system user")->capture_default_str();

  std::string input, output, host, publicKey;
  CLI::App* stamp = app.add_subcommand("stamp", "Write the server's host into a copy of setup.exe");
  stamp->add_option("input", input, "setup.exe as built")->required()->check(CLI::ExistingFile);
  stamp->add_option("output", output, "The stamped copy to write")->required();
  stamp->add_option("host", host, "Host name or IPv4 address, optionally :port")->required();
  stamp->add_option("--public-key", publicKey,
                    "The vendor's public key (websetup-ed25519:...) or its .pub file: the copy "
                    "then accepts only releases signed with its private key");

  CLI11_PARSE(app, argc, argv);

  try {
    if (pub->parsed()) {
      TPublishReport report = Publish(publish, std::cerr);
      std::cout << FormatReport(report);
      return 0;
    }
    if (res->parsed()) {
      std::cout << FormatReport(Resign(resign));
      return 0;
    }
    if (keygen->parsed()) {
      const std::string key = GenerateSigningKey(keyFile);
      std::cout << "private key: " << keyFile
                << " (keep it offline: whoever holds it can publish to every stamped setup.exe)\n"
                << "public key:  " << key << " (also in " << keyFile << ".pub)\n";
      return 0;
    }
    if (srv->parsed())
      return Serve(serve);
    if (dep->parsed()) {
      if (deploy.AdminPorts == std::vector<uint16_t>{0})
        deploy.AdminPorts.clear();
      std::cout << WriteDeployExample(deploy, deployDir);
      return 0;
    }
    if (stamp->parsed()) {
      const std::string key = publicKey.empty() ? "" : ReadPublicKeyArgument(publicKey);
      StampFile(input, output, host, key);
      std::cout << "stamped " << output << " with host " << host;
      if (!key.empty())
        std::cout << " and public key " << key;
      std::cout << "\n";
      return 0;
    }
  } catch (const Exception& e) {
    std::cerr << "websetup: " << e.Message() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "websetup: " << e.what() << "\n";
  }
  return 1;
}
