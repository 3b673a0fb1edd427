#pragma once

#include "base/KaCrypto.h"
#include "base/KaExceptions.h"
#include "base/KaStreams.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// A signed release: the manifest text gains sections of its own, which a
// program that does not check signatures never looks at, since it reads only
// the "installer", "files" and "shortcuts" sections:
//
//   [release]
//   number=<release number, decimal, from 1, rising with every signing>
//   expires=<YYYY-MM-DDThh:mm:ssZ, UTC; the line is absent when it never expires>
//   displayName=<the product's display name, UTF-8>
//
//   [content]
//   |<content identifier>,<size in bytes>,<SHA-256 of the inflated content, 64 lower-case hex>
//   ... one line per identifier of the file list, rising
//
//   [signature]
//   ed25519=<128 lower-case hex: the Ed25519 signature of every byte before "[signature]">
//
// The signature section is the last one and holds exactly that line; the
// text ends after its CR LF, optionally followed by one more CR LF (the form
// the configuration store writes).

// A refused release or file. The message is a translation marker, with the
// file's name after it for a file that does not match.
KA_DECLARE_EXCEPTION(EReleaseSeal, Exception);

inline constexpr char ReleaseSignatureError[] = "$(release_signature_error)";
inline constexpr char ReleaseExpiredError[] = "$(release_expired_error)";
inline constexpr char ReleaseRollbackError[] = "$(release_rollback_error)";
inline constexpr char ReleaseContentError[] = "$(release_content_error)";

struct TVoContentSeal {
  uint32_t Size = 0;
  std::string Sha256; // the raw 32-byte digest
  friend bool operator==(const TVoContentSeal&, const TVoContentSeal&) = default;
};

// By content identifier.
using TVoContentSeals = std::map<int32_t, TVoContentSeal>;

struct TVoReleaseSeal {
  int64_t Number = 0;
  int64_t Expires = 0; // seconds since 1970-01-01 UTC; 0: never
  std::string DisplayName;
  TVoContentSeals Contents;
};

// The vendor's side.

// The "release" and "content" sections, in the configuration store's written
// form, to follow the manifest's own text.
std::string ReleaseSealText(const TVoReleaseSeal& seal);
// The signature section of a 64-byte signature.
std::string SignatureSectionText(std::string_view signature);
// The manifest as it was before sealing: the text before its "release"
// section (or before its signature section when it has no "release"
// section); the whole text when it has neither.
std::string UnsealedManifestText(const std::string& text);
// The sealed and signed manifest text: `unsealedText` (a manifest's
// GetText), the seal's sections, the signature section. Raises EReleaseSeal
// for a display name the text cannot keep, Exception for a wrong key.
// (In an object of its own: programs that only verify do not carry it.)
std::string SignManifest(const std::string& unsealedText, const TVoReleaseSeal& seal,
                         std::string_view secretKey);
// Whether the text ends in a signature section of the right form (whoever
// signed it).
bool HasSignatureSection(const std::string& text);

// UTC time stamps of the "expires" line.
std::string FormatExpiry(int64_t unixSeconds);
bool ParseExpiry(std::string_view text, int64_t& unixSeconds);

// The client's side.

struct TVoVerifiedRelease {
  std::string Body; // the signed bytes: the manifest and its seal sections
  TVoReleaseSeal Seal;
};

// Checks the text's signature with the vendor's 32-byte public key and reads
// its seal. Raises EReleaseSeal with ReleaseSignatureError when the signature
// is missing, malformed or not the key's, or when the signed sections are
// malformed; with ReleaseExpiredError when `now` (seconds since 1970 UTC) has
// reached the expiry.
TVoVerifiedRelease VerifyRelease(const std::string& text, const std::string& publicKey,
                                 int64_t now);

// One fetched file's content checked against its seal as it passes: at most
// the sealed size is taken, hashed on the way. Add raises EReleaseSeal
// (ReleaseContentError and the name) as soon as the content grows beyond the
// sealed size; Finish raises it when the size or the digest differ.
class TVoContentCheck {
public:
  TVoContentCheck(const TVoContentSeal& seal, std::string name);
  void Add(const void* data, size_t size);
  void Finish();
  [[noreturn]] void Refuse() const;

private:
  TVoContentSeal FSeal;
  std::string FName;
  uint64_t FTaken = 0;
  TSha256 FHash;
};

// Writes through to `target` what the check accepts; content is written in
// one pass, front to back, so it seeks nowhere.
class TVoCheckedStream : public TStream {
public:
  TVoCheckedStream(TStream& target, TVoContentCheck& check) : FTarget(target), FCheck(check) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t) override;

private:
  TStream& FTarget;
  TVoContentCheck& FCheck;
};
