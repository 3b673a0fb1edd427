#pragma once

#include "net/KaConnectionIntf.h"

#include <string>

// The operation that returns the product's display name and the text of its
// update manifest, and the path the server answers on.

// The setup application's one server connection and what it learns about the
// product. The main form owns it: it creates the connection when it is
// created and again whenever the internet settings change, and releases it
// when the work is done. The product values survive a new connection.
class TProductInfo {
public:
  // The host of the program's own slot.
  TProductInfo();
  explicit TProductInfo(std::string host);

  // A new connection to the host; the previous one, if any, is dropped
  // without a word to the server. The product values stay.
  void CreateConnection();
  void ReleaseConnection();
  const IConnectionPtr& Connection() const { return FConnection; }

  // Asks the server once per process: after a success it does nothing.
  // Failures are raised unchanged, and leave the values as they were; so is
  // EReleaseSeal when the program trusts a vendor's key and the release is
  // not the vendor's (setup/ReleaseTrust.h).
  void FetchProductInfo();

  const std::u16string& ProductName() const { return FProductName; }
  const std::string& ManifestText() const { return FManifestText; }
  bool ProductInfoValid() const { return FProductInfoValid; }

private:
  std::string FHost;
  IConnectionPtr FConnection;
  std::u16string FProductName;
  std::string FManifestText;
  bool FProductInfoValid = false;
};
