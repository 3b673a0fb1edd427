#include "net/testing/KaTestProxy.h"

#include <cstdlib>
#include <fstream>

bool FindTestProxy(TTestProxy& proxy, std::string& reason) {
  const char* file = std::getenv("WS_TINYPROXY_PORT_FILE");
  if (!file || !*file) {
    reason = "WS_TINYPROXY_PORT_FILE is not set";
    return false;
  }
  std::ifstream in(file);
  if (!(in >> proxy.Port) || proxy.Port <= 0) {
    reason = std::string("no proxy port in ") + file;
    return false;
  }
  return true;
}
