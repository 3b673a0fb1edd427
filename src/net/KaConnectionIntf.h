#pragma once

#include "net/KaActivatable.h"
#include "net/KaMessage.h"

#include <memory>
#include <string>

// The session with one server: requests built by NewMessage, sent by Call,
// answers read back from the same message.
class IConnection : public IActivatable {
public:
  virtual std::string GetHost() const = 0;
  virtual void SetHost(const std::string& host) = 0;
  virtual std::string GetPath() const = 0;
  virtual void SetPath(const std::string& path) = 0;
  virtual IMessagePtr NewMessage(const std::string& command) = 0;
  // A non-empty path replaces Path for this call.
  virtual void Call(const IMessagePtr& message, const std::string& path = std::string()) = 0;
};

using IConnectionPtr = std::shared_ptr<IConnection>;
