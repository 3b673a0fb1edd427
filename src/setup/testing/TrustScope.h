#pragma once

// The vendor's key trusted for a test's length, as a stamped setup.exe
// trusts it, and the key as it was afterwards.

#include "setup/ReleaseTrust.h"

#include <string>

class TTrustScope {
public:
  explicit TTrustScope(std::string key) : FSaved(TrustedVendorKey()) {
    TrustedVendorKey() = std::move(key);
  }
  ~TTrustScope() { TrustedVendorKey() = FSaved; }
  TTrustScope(const TTrustScope&) = delete;
  TTrustScope& operator=(const TTrustScope&) = delete;

private:
  std::string FSaved;
};
