#include "model/VoReleaseSeal.h"

#include "base/KaDateTime.h"
#include "base/KaHex.h"
#include "base/KaStrings.h"
#include "model/VoConfig.h"

#include <limits>

namespace {

const std::string SignatureHeader = "[signature]\r\n";
const std::string SignatureKey = "ed25519=";
constexpr size_t SignatureHexSize = 2 * Ed25519SignatureSize;

[[noreturn]] void RefuseSignature() { throw EReleaseSeal(ReleaseSignatureError); }

// Where the signature section starts: a line "[signature]" that is the last
// section; npos when the text has none.
size_t SignatureStart(const std::string& text) {
  size_t at = text.rfind("\r\n" + SignatureHeader);
  return at == std::string::npos ? at : at + 2;
}

// The signature of a text whose signature section starts at `start`; false
// unless the rest is exactly the one line of the written form.
bool ReadSignature(const std::string& text, size_t start, std::string& signature) {
  std::string_view rest(text);
  rest.remove_prefix(start + SignatureHeader.size());
  if (rest.substr(0, SignatureKey.size()) != SignatureKey)
    return false;
  rest.remove_prefix(SignatureKey.size());
  std::string_view end = rest.size() >= SignatureHexSize ? rest.substr(SignatureHexSize) : "";
  if (end != "\r\n" && end != "\r\n\r\n")
    return false;
  return FromHex(rest.substr(0, SignatureHexSize), signature) &&
         signature.size() == Ed25519SignatureSize;
}

// Plain decimal digits only: no sign, no blanks, no leading zero.
bool ParseNumber(std::string_view text, int64_t max, int64_t& value) {
  if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1))
    return false;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return false;
    n = n * 10 + (c - '0');
  }
  if (n > max)
    return false;
  value = n;
  return true;
}

IVoConfigSectionPtr TheOnlySection(const IVoConfig& config, const std::string& name) {
  IVoConfigSectionPtr found;
  for (int i = 0; i < config.GetSectionCount(); ++i) {
    IVoConfigSectionPtr section = config.GetSection(i);
    if (section->GetName() != name)
      continue;
    if (found)
      RefuseSignature(); // two of them would leave it open which one counts
    found = section;
  }
  return found;
}

void ReadRelease(IVoConfigSection& section, TVoReleaseSeal& seal) {
  bool number = false, displayName = false;
  for (const std::string& line : section.GetLines()) {
    if (line.empty() || line[0] == '|')
      RefuseSignature();
    const std::string key = CopyBeforeFirst("=", line);
    const std::string value = line.substr(std::min(line.size(), key.size() + 1));
    if (key == "number") {
      number =
          ParseNumber(value, std::numeric_limits<int64_t>::max(), seal.Number) && seal.Number > 0;
      if (!number)
        RefuseSignature();
    } else if (key == "expires") {
      if (!ParseExpiry(value, seal.Expires) || seal.Expires == 0)
        RefuseSignature();
    } else if (key == "displayName") {
      seal.DisplayName = value;
      displayName = true;
    }
    // Other keys are for later releases of this program to read.
  }
  if (!number || !displayName)
    RefuseSignature();
}

void ReadContents(IVoConfigSection& section, TVoContentSeals& contents) {
  for (const std::string& line : section.GetLines()) {
    if (line.size() < 2 || line[0] != '|')
      RefuseSignature();
    std::string rest = line.substr(1);
    const std::string id = SplitFirst(",", rest);
    const std::string size = SplitFirst(",", rest);
    int64_t idValue = 0, sizeValue = 0;
    TVoContentSeal seal;
    if (!ParseNumber(id, std::numeric_limits<int32_t>::max(), idValue) || idValue == 0 ||
        !ParseNumber(size, std::numeric_limits<int32_t>::max(), sizeValue) ||
        rest.size() != 2 * Sha256Size || !FromHex(rest, seal.Sha256))
      RefuseSignature();
    seal.Size = static_cast<uint32_t>(sizeValue);
    if (!contents.emplace(static_cast<int32_t>(idValue), seal).second)
      RefuseSignature();
  }
}

bool Digits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9')
      return false;
  return true;
}

std::string TwoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

} // namespace

std::string FormatExpiry(int64_t unixSeconds) {
  const TDateTimeParts p = DecodeDateTime(UnixToDateTime(unixSeconds));
  std::string year = IntToStr(p.Year);
  year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');
  return year + "-" + TwoDigits(p.Month) + "-" + TwoDigits(p.Day) + "T" + TwoDigits(p.Hour) + ":" +
         TwoDigits(p.Minute) + ":" + TwoDigits(p.Second) + "Z";
}

bool ParseExpiry(std::string_view text, int64_t& unixSeconds) {
  // YYYY-MM-DDThh:mm:ssZ and nothing else.
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != 'Z')
    return false;
  auto part = [&](size_t at, size_t size, int& value) {
    if (!Digits(text.substr(at, size)))
      return false;
    value = static_cast<int>(StrToInt(text.substr(at, size)));
    return true;
  };
  TDateTimeParts parts;
  TDateTime value;
  if (!part(0, 4, parts.Year) || !part(5, 2, parts.Month) || !part(8, 2, parts.Day) ||
      !part(11, 2, parts.Hour) || !part(14, 2, parts.Minute) || !part(17, 2, parts.Second) ||
      parts.Year < 1970 || !TryEncodeDateTime(parts, value))
    return false;
  unixSeconds = DateTimeToUnix(value);
  return true;
}

std::string ReleaseSealText(const TVoReleaseSeal& seal) {
  // What the configuration store would not give back as it was written
  // cannot be compared by the client.
  if (seal.DisplayName != Trim(seal.DisplayName) ||
      seal.DisplayName.find_first_of("\r\n") != std::string::npos)
    throw EReleaseSeal("The display name \"" + seal.DisplayName +
                       "\" has blanks at an end or a line break, which a signature cannot keep");
  IVoConfigPtr config = CreateConfig();
  IVoConfigSectionPtr release = config->AddSection("release");
  release->WriteValue("number", IntToStr(seal.Number));
  if (seal.Expires != 0)
    release->WriteValue("expires", FormatExpiry(seal.Expires));
  release->WriteValue("displayName", seal.DisplayName);
  IVoConfigSectionPtr contents = config->AddSection("content");
  for (const auto& [id, content] : seal.Contents)
    contents->AddLine("|" + IntToStr(id) + "," + IntToStr(content.Size) + "," +
                      ToHex(content.Sha256));
  return config->GetText();
}

std::string SignatureSectionText(std::string_view signature) {
  return SignatureHeader + SignatureKey + ToHex(signature) + "\r\n\r\n";
}

std::string UnsealedManifestText(const std::string& text) {
  for (const char* header : {"\r\n[release]\r\n", "\r\n[signature]\r\n"})
    if (size_t at = text.find(header); at != std::string::npos)
      return text.substr(0, at + 2);
  return text;
}

bool HasSignatureSection(const std::string& text) {
  std::string signature;
  const size_t start = SignatureStart(text);
  return start != std::string::npos && ReadSignature(text, start, signature);
}

TVoVerifiedRelease VerifyRelease(const std::string& text, const std::string& publicKey,
                                 int64_t now) {
  const size_t start = SignatureStart(text);
  std::string signature;
  if (start == std::string::npos || !ReadSignature(text, start, signature))
    RefuseSignature();
  TVoVerifiedRelease release;
  release.Body = text.substr(0, start);
  if (!VerifyEd25519(release.Body, signature, publicKey))
    RefuseSignature();

  // Signed by the vendor from here on; what does not read is refused all the
  // same, since a client cannot act on half a seal.
  IVoConfigPtr config = CreateConfig();
  config->SetText(release.Body);
  IVoConfigSectionPtr section = TheOnlySection(*config, "release");
  if (!section)
    RefuseSignature();
  ReadRelease(*section, release.Seal);
  if (IVoConfigSectionPtr contents = TheOnlySection(*config, "content"))
    ReadContents(*contents, release.Seal.Contents);
  if (release.Seal.Expires != 0 && now >= release.Seal.Expires)
    throw EReleaseSeal(ReleaseExpiredError);
  return release;
}

// --- one file's content ------------------------------------------------------

TVoContentCheck::TVoContentCheck(const TVoContentSeal& seal, std::string name)
    : FSeal(seal), FName(std::move(name)) {}

void TVoContentCheck::Refuse() const {
  throw EReleaseSeal(std::string(ReleaseContentError) + " " + FName);
}

void TVoContentCheck::Add(const void* data, size_t size) {
  if (size > FSeal.Size - FTaken)
    Refuse();
  FHash.Update(data, size);
  FTaken += size;
}

void TVoContentCheck::Finish() {
  if (FTaken != FSeal.Size || FHash.Finish() != FSeal.Sha256)
    Refuse();
}

int64_t TVoCheckedStream::Write(const void* buffer, int64_t count) {
  if (count <= 0)
    return 0;
  FCheck.Add(buffer, static_cast<size_t>(count));
  FTarget.WriteBuffer(buffer, count);
  return count;
}

int64_t TVoCheckedStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset != 0 || origin != TSeekOrigin::soCurrent)
    throw EStreamError("A checked file's content is written front to back");
  return FTarget.Seek(0, TSeekOrigin::soCurrent);
}

void TVoCheckedStream::SetSize(int64_t) {
  throw EStreamError("A checked file's content is written front to back");
}
