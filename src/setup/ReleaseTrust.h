#pragma once

#include "model/VoUpdateConfig.h"

#include <cstdint>
#include <string>

// The releases this program takes. A setup.exe stamped with the vendor's
// public key (net/KaKeySlot.h) takes only releases signed with the vendor's
// private key (model/VoReleaseSeal.h): not one whose signature is missing or
// wrong, not one that has expired, and not one older than the newest this
// installation has taken already; and of those, each fetched file only when
// it is the signed content. A program without a key takes every release as
// it comes, as the manifest alone describes it.

// The vendor's key this run trusts, 32 raw bytes; filled at first use from
// the program's key slot. Empty: nothing is checked. A slot whose text is no
// key's text form trusts nothing, so every release is refused.
std::string& TrustedVendorKey();
// The key to trust for a key slot's text: empty for an empty text, a key
// that verifies nothing for a text that is no key's text form.
std::string TrustedKeyOf(const std::string& keyText);

// Seconds since 1970 UTC, against which expiries are measured.
int64_t CurrentUnixTime();

// The record of the newest release number an installation has taken,
// beside its installation record: installDir + appName + ".release", the
// number in decimal. 0 when there is none (or none that reads).
std::string AcceptedReleaseFileName(const std::string& installDir, const std::string& appName);
int64_t AcceptedRelease(const std::string& installDir, const std::string& appName);
// Writes the record through a temporary file renamed over it, so a reader
// finds the old number or the new one. Raises the file errors.
void RecordAcceptedRelease(const std::string& installDir, const std::string& appName,
                           int64_t number);

// The product information as fetched, checked when a key is trusted: the
// manifest's signature and expiry, and the display name, which the release
// signs as well. Raises EReleaseSeal.
void CheckProductRelease(const std::u16string& productName, const std::string& manifestText);

// The manifest a role works with, loaded from the product information's text.
// Without a trusted key: the text as it is. With one: the signature and
// expiry checked; for an installation directory (empty in the setup role
// before the install starts) the release number checked against the one the
// installation has taken, and recorded when it is newer; the signed text
// loaded, and the content seals handed to the manifest's Update. Raises
// EReleaseSeal, before anything is written.
IVoUpdateConfigPtr LoadManifest(const std::string& manifestText, const std::string& installDir);
