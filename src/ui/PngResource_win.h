#pragma once

// Artwork embedded in the executable (Windows only): PNG files as resources
// of type "PNG" or RCDATA.

#include "ui/KaPngImage.h"

KA_DECLARE_EXCEPTION(EResNotFound, Exception);

// Raises EResNotFound "Resource <name> not found", or EPngError for data
// that is no PNG image.
TPngImage LoadPngResource(const char* name);
