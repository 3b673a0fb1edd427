#pragma once

#include "net/KaProtocol.h"

#include <cstdint>
#include <string>

// Stateless sessions: an identifier carries its creation time, a random part
// and a MAC made with the store's secret, and every key is derived from the
// identifier and the sequence number it is meant for. So any number of server
// processes that share the secret accept each other's sessions, and a
// restarted server keeps them.
class TSessionScheme {
public:
  static constexpr size_t SecretSize = 32;
  static constexpr size_t IdLength = SessionIdLength; // hex characters
  static constexpr size_t KeySize = 16;

  // `secret` is raw bytes, at least SecretSize of them.
  TSessionScheme(std::string secret, int64_t lifetimeSeconds);

  // A fresh identifier made at `now` (seconds since 1970).
  std::string NewId(int64_t now) const;
  // True for an identifier made with this secret that has not expired at `now`.
  bool IsValid(const std::string& id, int64_t now) const;
  // K(id, n): the XOR key of the request that carries sequence number n.
  std::string Key(const std::string& id, uint8_t sequence) const;

  // 32 random bytes from the system's generator.
  static std::string RandomSecret();

private:
  std::string Mac(const std::string& data) const;

  std::string FSecret;
  int64_t FLifetime;
};
