// The client side of the install benchmark: asks the server for the product
// information as the wizard does, then brings an installation directory in
// line with the manifest through the chosen back end, and reports the time
// of the update and the process's peak memory.
//
//   install_client <host:port> <installation directory> <back end>
//
// Prints "seconds <s> peak-mb <m> before-mb <m>", where before-mb is the
// peak before the update began (the program and the manifest).

#include "model/VoUpdateConfig.h"
#include "net/KaConnection.h"
#include "net/KaProtocol.h"
#include "net/backends/KaHTTPBackEnds.h"
#include "net/testing/KaNetTesting.h"

#include <chrono>
#include <cstdio>

// The process's peak memory so far, in MB: its peak resident set (working set).
double PeakMemoryMB();

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: install_client <host:port> <directory> <back end>\n");
    return 2;
  }
  try {
    RegisterHTTPBackEnds();
    TInternetSettingsScope settings;
    settings.Write("lib", argv[3]);
    auto connection = std::make_shared<TConnection>();
    connection->SetHost(argv[1]);
    connection->SetPath(ServerPath);
    IMessagePtr info = connection->NewMessage(ProductInfoCommand);
    connection->Call(info);
    info->ReadWideString();
    IVoUpdateConfigPtr manifest = CreateUpdateConfig();
    manifest->SetText(info->ReadString());
    const double before = PeakMemoryMB();
    const auto start = std::chrono::steady_clock::now();
    manifest->Update(argv[2], connection, GetFileCommand);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seconds %.3f peak-mb %.1f before-mb %.1f\n", seconds, PeakMemoryMB(), before);
    return 0;
  } catch (const std::exception& e) {
    std::printf("failed: %s\n", e.what());
    return 1;
  }
}
