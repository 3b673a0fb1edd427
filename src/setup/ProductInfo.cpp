#include "setup/ProductInfo.h"

#include "net/KaConnection.h"
#include "net/KaHostSlot.h"
#include "net/KaProtocol.h"
#include "setup/ReleaseTrust.h"

TProductInfo::TProductInfo() : TProductInfo(ServerHost()) {}

TProductInfo::TProductInfo(std::string host) : FHost(std::move(host)) {}

void TProductInfo::CreateConnection() {
  auto connection = std::make_shared<TConnection>();
  connection->SetHost(FHost);
  connection->SetPath(ServerPath);
  FConnection = connection;
}

void TProductInfo::ReleaseConnection() { FConnection.reset(); }

void TProductInfo::FetchProductInfo() {
  if (FProductInfoValid)
    return;
  // Asking after the connection was released is a slip of the caller; it is
  // reported like any other failure to reach the server.
  if (!FConnection)
    throw EConnection("$(Connection Error) No connection!");
  IMessagePtr message = FConnection->NewMessage(ProductInfoCommand);
  FConnection->Call(message);
  std::u16string name = message->ReadWideString();
  std::string manifest = message->ReadString();
  CheckProductRelease(name, manifest);
  FProductName = std::move(name);
  FManifestText = std::move(manifest);
  FProductInfoValid = true;
}
