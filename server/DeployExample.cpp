#include "server/DeployExample.h"

#include "base/KaExceptions.h"
#include "server/HttpServer.h"
#include "server/ReleaseStore.h"

#include <filesystem>
#include <set>

namespace {

// The server's own defaults decide nginx's limits, so that nginx never lets
// through what a server process would refuse, and gives up on a client no
// later than the server would.
const TServerOptions ServerDefaults;

std::string Seconds(std::chrono::milliseconds t) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(t).count()) + "s";
}

std::string Kib(size_t bytes) { return std::to_string(bytes / 1024) + "k"; }

std::string Unit(const TDeployOptions& o) {
  const std::string connections = std::to_string(ServerDefaults.MaxConnections);
  return "# websetup update server, one instance per port: websetup@8081.service listens on\n"
         "# 127.0.0.1:8081. nginx in front spreads the clients over the instances; they\n"
         "# share nothing but the session secret, handed in as a credential so that the\n"
         "# secret file itself can stay root's.\n"
         "[Unit]\n"
         "Description=websetup update server on port %i\n"
         "After=network.target\n"
         "\n"
         "[Service]\n"
         "Type=exec\n"
         "User=" +
         o.User +
         "\n"
         "Group=" +
         o.User +
         "\n"
         "LoadCredential=secret:" +
         o.SecretFile +
         "\n"
         "# WEBSETUP_ADMIN=--admin-address 127.0.0.1:<port> turns on /healthz and /metrics.\n"
         "EnvironmentFile=-" +
         o.ConfigDir +
         "/websetup@%i.env\n"
         "# Every connection comes from nginx on one address: the per-address limit is\n"
         "# nginx's business (limit_conn), so here it is the whole limit.\n"
         "ExecStart=" +
         o.Tool + " serve --store " + o.Store +
         " --address 127.0.0.1 --port %i --secret-file %d/secret --max-connections " + connections +
         " --max-per-address " + connections +
         " $WEBSETUP_ADMIN\n"
         "Restart=on-failure\n"
         "RestartSec=1s\n"
         "LimitNOFILE=65536\n"
         "\n"
         "# The server only reads the store; a publisher writes it as another user.\n"
         "ProtectSystem=strict\n"
         "ReadOnlyPaths=" +
         o.Store +
         "\n"
         "ProtectHome=yes\n"
         "PrivateTmp=yes\n"
         "PrivateDevices=yes\n"
         "NoNewPrivileges=yes\n"
         "CapabilityBoundingSet=\n"
         "AmbientCapabilities=\n"
         "ProtectKernelTunables=yes\n"
         "ProtectKernelModules=yes\n"
         "ProtectKernelLogs=yes\n"
         "ProtectControlGroups=yes\n"
         "ProtectClock=yes\n"
         "ProtectHostname=yes\n"
         "ProtectProc=invisible\n"
         "RestrictAddressFamilies=AF_INET AF_INET6 AF_UNIX\n"
         "RestrictNamespaces=yes\n"
         "RestrictRealtime=yes\n"
         "RestrictSUIDSGID=yes\n"
         "LockPersonality=yes\n"
         "MemoryDenyWriteExecute=yes\n"
         "RemoveIPC=yes\n"
         "SystemCallArchitectures=native\n"
         "SystemCallFilter=@system-service\n"
         "SystemCallFilter=~@privileged @resources\n"
         "UMask=0077\n"
         "\n"
         "[Install]\n"
         "WantedBy=multi-user.target\n";
}

} // namespace

std::string NginxSite(const TDeployOptions& o) {
  std::string servers;
  for (uint16_t port : o.Ports)
    servers += "    server 127.0.0.1:" + std::to_string(port) + " max_fails=1 fail_timeout=5s;\n";
  const auto& d = ServerDefaults;
  // nginx closes its idle upstream connections before the server would.
  const auto upstreamIdle = d.IdleTime - std::chrono::seconds(5);
  return "# websetup behind nginx: include in the http block (e.g. as\n"
         "# /etc/nginx/conf.d/websetup.conf). Only POST /cgi-bin/RUzodi reaches the\n"
         "# servers; every request may go to another one, since sessions carry their\n"
         "# state in the identifier and need only the shared secret.\n"
         "upstream websetup {\n"
         "    # Round robin shared by all workers.\n"
         "    zone websetup 64k;\n" +
         servers +
         "    keepalive 32;\n"
         "    keepalive_requests 10000;\n"
         "    keepalive_timeout " +
         Seconds(upstreamIdle) +
         ";\n"
         "}\n"
         "\n"
         "limit_conn_zone $binary_remote_addr zone=websetup_per_address:10m;\n"
         "\n"
         "server {\n"
         "    listen " +
         o.Listen +
         ";\n"
         "    server_name " +
         o.ServerName +
         ";\n"
         "    server_tokens off;\n"
         "\n"
         "    # A request is a small message: the servers refuse bodies over " +
         Kib(d.BodyLimit) +
         "\n"
         "    # and headers over " +
         Kib(d.HeaderLimit) +
         ", and so does nginx, from memory.\n"
         "    client_max_body_size " +
         Kib(d.BodyLimit) +
         ";\n"
         "    client_body_buffer_size " +
         Kib(d.BodyLimit) +
         ";\n"
         "    client_header_buffer_size 1k;\n"
         "    large_client_header_buffers 4 " +
         Kib(d.HeaderLimit) +
         ";\n"
         "    client_header_timeout " +
         Seconds(d.ReadTime) +
         ";\n"
         "    client_body_timeout " +
         Seconds(d.ReadTime) +
         ";\n"
         "    keepalive_timeout " +
         Seconds(d.IdleTime) +
         ";\n"
         "    keepalive_requests 10000;\n"
         "    # A file answer may take long in all; it is cut only when the client\n"
         "    # takes nothing for this long.\n"
         "    send_timeout " +
         Seconds(d.WriteTime) +
         ";\n"
         "    # What the servers would allow one client address.\n"
         "    limit_conn websetup_per_address " +
         std::to_string(d.MaxPerAddress) +
         ";\n"
         "\n"
         "    location = /cgi-bin/RUzodi {\n"
         "        if ($request_method != POST) {\n"
         "            add_header Allow POST always;\n"
         "            return 405;\n"
         "        }\n"
         "        proxy_pass http://websetup;\n"
         "        proxy_http_version 1.1;\n"
         "        proxy_set_header Connection \"\";\n"
         "        proxy_connect_timeout 2s;\n"
         "        proxy_send_timeout " +
         Seconds(d.ReadTime) +
         ";\n"
         "        proxy_read_timeout " +
         Seconds(d.WriteTime) +
         ";\n"
         "        # Every operation only reads and a session keeps no state in a\n"
         "        # process: a request whose process failed before answering may go\n"
         "        # to the next one, POST or not.\n"
         "        proxy_next_upstream error timeout non_idempotent;\n"
         "        proxy_next_upstream_tries 3;\n"
         "        # File answers stream through a few buffers, never into temporary\n"
         "        # files: the blobs are on disk already, and the servers hold slow\n"
         "        # clients cheaply.\n"
         "        proxy_buffering on;\n"
         "        proxy_buffer_size 16k;\n"
         "        proxy_buffers 8 64k;\n"
         "        proxy_busy_buffers_size 128k;\n"
         "        proxy_max_temp_file_size 0;\n"
         "    }\n"
         "\n"
         "    location / {\n"
         "        return 404;\n"
         "    }\n"
         "}\n";
}

namespace {

std::string Sysusers(const TDeployOptions& o) {
  return "# The update server's own user: owns nothing, logs in nowhere.\n"
         "u " +
         o.User + " - \"websetup update server\" / /usr/sbin/nologin\n";
}

std::string Environment(const TDeployOptions& o, size_t instance) {
  if (o.AdminPorts.empty())
    return "# No admin listener for this instance.\nWEBSETUP_ADMIN=\n";
  // Quoted: systemd and a shell read the file alike.
  return "# /healthz and /metrics of this instance, for the local scraper only.\n"
         "WEBSETUP_ADMIN=\"--admin-address 127.0.0.1:" +
         std::to_string(o.AdminPorts[instance]) + "\"\n";
}

void Check(const TDeployOptions& o) {
  // systemd takes only absolute paths, and the unit runs from no folder in particular.
  for (const std::string* path : {&o.Tool, &o.Store, &o.SecretFile, &o.ConfigDir})
    if (path->empty() || path->front() != '/')
      throw Exception("\"" + *path + "\" is no absolute path");
  if (o.Ports.empty())
    throw Exception("The deployment needs at least one server port");
  if (!o.AdminPorts.empty() && o.AdminPorts.size() != o.Ports.size())
    throw Exception("Give one admin port per server port (" + std::to_string(o.Ports.size()) +
                    "), or none");
  std::set<uint16_t> seen;
  for (const auto* list : {&o.Ports, &o.AdminPorts})
    for (uint16_t port : *list)
      if (port == 0 || !seen.insert(port).second)
        throw Exception("Port " + std::to_string(port) + " cannot serve (zero or given twice)");
}

} // namespace

std::vector<TDeployFile> DeployExample(const TDeployOptions& o) {
  Check(o);
  std::vector<TDeployFile> files = {
      {"websetup@.service", "/etc/systemd/system/websetup@.service", Unit(o)},
      {"websetup-sysusers.conf", "/etc/sysusers.d/websetup.conf", Sysusers(o)},
      {"websetup-nginx.conf", "/etc/nginx/conf.d/websetup.conf", NginxSite(o)},
  };
  for (size_t i = 0; i < o.Ports.size(); ++i) {
    std::string name = "websetup@" + std::to_string(o.Ports[i]) + ".env";
    files.push_back({name, o.ConfigDir + "/" + name, Environment(o, i)});
  }
  return files;
}

std::string WriteDeployExample(const TDeployOptions& o, const std::string& dir) {
  std::vector<TDeployFile> files = DeployExample(o);
  std::filesystem::create_directories(dir);
  std::string commands = "# As root, from " + dir + ":\n";
  for (const TDeployFile& f : files) {
    WriteFileAtomically(dir + "/" + f.Name, f.Text);
    commands += "install -D -m 644 " + f.Name + " " + f.Target + "\n";
  }
  std::string instances;
  for (uint16_t port : o.Ports)
    instances += " websetup@" + std::to_string(port);
  commands += "systemd-sysusers\n"
              "(umask 077; test -s " +
              o.SecretFile + " || od -An -tx1 -N32 /dev/urandom | tr -d ' \\n' > " + o.SecretFile +
              ")\n"
              "systemctl daemon-reload\n"
              "systemctl enable --now" +
              instances +
              "\n"
              "nginx -t && systemctl reload nginx\n";
  return commands;
}
