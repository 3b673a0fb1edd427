#pragma once

#include <string>

// The tests' real proxy (tinyproxy with basic authentication), started by the
// test fixture, which names the file holding its port in WS_TINYPROXY_PORT_FILE.
struct TTestProxy {
  std::string Host = "127.0.0.1";
  int Port = 0;
  std::string UserName = "wsproxy";
  std::string Password = "secret-7";
};

// False, with the reason, when no proxy has been started for this run.
bool FindTestProxy(TTestProxy& proxy, std::string& reason);
