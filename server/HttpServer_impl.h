#pragma once

// Between the acceptor (HttpServer.cpp) and the connections it admits
// (ClientConnection.cpp); included by those two only.

// Asio of this Boost uses std::exchange without including <utility> itself.
#include <utility>

#include "server/AccessLog.h"
#include "server/ConnectionLimits.h"
#include "server/HttpServer.h"
#include "server/UpdateService.h"
#include "server/WatchList.h"

#include <boost/asio/ip/tcp.hpp>

// What every connection of one server uses; outlives them all.
struct TConnectionContext {
  TUpdateService& Service;
  TAccessLog& Log;
  TServerMetrics& Metrics;
  const TServerOptions& Options;

  // Every record goes to the log and into the counts.
  void Record(const TAccessRecord& record) const {
    Metrics.Count(record);
    Log.Write(record);
  }
};

// Serves one admitted connection, request after request, until it ends or is
// cut off; `place` is given back then. Every step logs what a client got.
// The socket belongs to the io_context of the calling thread, whose `watch`
// looks at the connection's deadlines; nothing of it is touched by another.
void ServeConnection(boost::asio::ip::tcp::socket socket, TConnectionLimits::TTicket place,
                     const TConnectionContext& context, TWatchList& watch);

class TAdminPages;

// Answers one request of the admin listener and closes; `place` is given back then.
void ServeAdminConnection(boost::asio::ip::tcp::socket socket, TConnectionLimits::TTicket place,
                          const TAdminPages& pages);
