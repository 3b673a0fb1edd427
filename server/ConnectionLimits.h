#pragma once

#include <mutex>
#include <string>
#include <unordered_map>

// How many connections the server holds at once, in all and per client
// address, so that one host cannot take every place and lock the others out.
// Safe to use from any thread.
class TConnectionLimits {
public:
  enum class TVerdict { Admitted, ServerFull, AddressFull };

  // A place held by one connection; given back when the ticket goes.
  class TTicket {
  public:
    TTicket() = default;
    ~TTicket() { Reset(); }
    TTicket(TTicket&& other) noexcept;
    TTicket& operator=(TTicket&& other) noexcept;
    TTicket(const TTicket&) = delete;
    TTicket& operator=(const TTicket&) = delete;
    explicit operator bool() const { return FOwner != nullptr; }
    void Reset();

  private:
    friend class TConnectionLimits;
    TConnectionLimits* FOwner = nullptr;
    std::string FKey;
  };

  TConnectionLimits(int total, int perAddress) : FTotal(total), FPerAddress(perAddress) {}
  TConnectionLimits(const TConnectionLimits&) = delete;
  TConnectionLimits& operator=(const TConnectionLimits&) = delete;

  // `key` names the client, see AddressKey. Admitted fills `ticket`.
  TVerdict Admit(const std::string& key, TTicket& ticket);
  int Count() const;

private:
  void Release(const std::string& key);

  const int FTotal;
  const int FPerAddress;
  mutable std::mutex FMutex;
  int FCount = 0;
  std::unordered_map<std::string, int> FByKey;
};

// The client as the limit per address counts it: an IPv4 address as it is
// (also when it comes IPv4-mapped), an IPv6 address by its /64 network, since
// one host is usually given a whole /64 and could otherwise take a place
// from each of its addresses. Text that is no address is its own key.
std::string AddressKey(const std::string& address);
