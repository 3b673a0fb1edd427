#pragma once

class ITranslator;

// Key of the Error page's message for a failed product information request;
// the launcher check shows "$(productinfo_error)".
inline constexpr char ProductInfoErrorKey[] = "productinfo_error";
inline constexpr char ProductInfoErrorText[] = "$(productinfo_error)";

// Keys of the refusals of a release that is not the trusted vendor's (the
// markers of model/VoReleaseSeal.h), registered after all other texts.
inline constexpr const char* ReleaseRefusalKeys[] = {
    "release_signature_error", "release_expired_error", "release_rollback_error",
    "release_content_error"};

// Registers the Dutch ("nl") and English ("en") languages and all their texts
// with the given translator. It selects no language.
void RegisterTexts(ITranslator& translator);

// Start-up: registers the built-in texts with the single translator. Only the
// first call of the process registers; later calls do nothing.
void RegisterTexts();
