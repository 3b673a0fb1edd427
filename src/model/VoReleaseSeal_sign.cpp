#include "model/VoReleaseSeal.h"

std::string SignManifest(const std::string& unsealedText, const TVoReleaseSeal& seal,
                         std::string_view secretKey) {
  const std::string body = unsealedText + ReleaseSealText(seal);
  return body + SignatureSectionText(SignEd25519(body, secretKey));
}
