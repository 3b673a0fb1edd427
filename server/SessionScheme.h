#pragma once

#include "net/KaProtocol.h"

#include <cstdint>
#include <memory>
#include <optional>
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
  ~TSessionScheme();
  TSessionScheme(const TSessionScheme&) = delete;
  TSessionScheme& operator=(const TSessionScheme&) = delete;

  // A fresh identifier made at `now` (seconds since 1970).
  std::string NewId(int64_t now) const;
  // True for an identifier made with this secret that has not expired at `now`.
  bool IsValid(const std::string& id, int64_t now) const;
  // The two halves of IsValid, for a caller that checks one identifier again
  // and again: when it was made, for an identifier made with this secret,
  // and whether something made then is still alive at `now`.
  std::optional<int64_t> MadeAt(const std::string& id) const;
  bool IsAlive(int64_t made, int64_t now) const;
  // K(id, n): the XOR key of the request that carries sequence number n.
  std::string Key(const std::string& id, uint8_t sequence) const;

  // 32 random bytes from the system's generator.
  static std::string RandomSecret();

  struct TPads;

private:
  // HMAC-SHA-256 of the parts one after the other, cut to `size` bytes.
  std::string Mac(std::initializer_list<std::string_view> parts, size_t size) const;

  std::unique_ptr<TPads> FPads;
  int64_t FLifetime;
};
