#pragma once

#include "setup/ProductInfo.h"
#include "setup/StartUp.h"

#include <string>

// The launcher's check at start, before any window exists: asks the server
// for the manifest and compares the installation in `installDir` with it.
// Nothing to fetch: releases the connection, starts the application and
// answers smLaunch. Something to fetch: smUpdate. Any failure: smError, with
// `errorText` set to the Error page's message: the refusal's own text for a
// release that is not the trusted vendor's (setup/ReleaseTrust.h), the
// failed product information request's text otherwise.
TStartMode RunLauncherCheck(TProductInfo& product, const std::string& installDir,
                            std::string& errorText);
