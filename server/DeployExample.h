#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A deployment of `websetup serve` as a vendor runs it on Linux: N server
// processes on loopback ports, each a systemd service instance, behind nginx.
struct TDeployOptions {
  std::string Tool = "/usr/local/bin/websetup";
  std::string Store = "/srv/websetup";
  std::string SecretFile = "/etc/websetup/secret"; // handed to the services as a credential
  std::string ConfigDir = "/etc/websetup";         // where the instances' environment files go
  std::string User = "websetup";
  std::vector<uint16_t> Ports = {8081, 8082, 8083};
  std::vector<uint16_t> AdminPorts = {9081, 9082, 9083}; // empty: no admin listeners
  std::string Listen = "80";                             // nginx's listen parameter
  std::string ServerName = "updates.example.com";
};

// One file of the example and where it belongs on the vendor's host.
struct TDeployFile {
  std::string Name;   // in the output folder
  std::string Target; // where it is installed
  std::string Text;
};

// The systemd template unit, the system user, one environment file per
// instance and the nginx site. Raises on options that cannot work (no port,
// admin ports that do not pair with the ports).
std::vector<TDeployFile> DeployExample(const TDeployOptions& options);

// The nginx part alone: an upstream of the ports and the site, for nginx's
// http block.
std::string NginxSite(const TDeployOptions& options);

// Writes the files into `dir` (created when missing) and returns the shell
// commands that install and start them, for the vendor to read first.
std::string WriteDeployExample(const TDeployOptions& options, const std::string& dir);
