#pragma once

#include <cstddef>
#include <cstdint>

// What the client's connection and the update server agree on byte for byte:
// where requests go, the plain headers before the ciphered part, the answer
// statuses and the commands.

// Every request is a POST to this path.
inline constexpr const char* ServerPath = "/cgi-bin/RUzodi";

// A request: its length field, the session identifier (a length-prefixed
// string of this many characters) and the sequence byte, never ciphered.
inline constexpr size_t SessionIdLength = 32;
inline constexpr int64_t RequestHeaderSize = 4 + SessionIdLength + 1;
// An answer: status, cipher flag and sequence byte, never ciphered.
inline constexpr int64_t AnswerHeaderSize = 3;

// The status byte of an answer.
enum : uint8_t {
  StatusSuccess = 0,
  StatusError = 1,      // an error text follows
  StatusNewSession = 2, // a new identifier follows; the request goes out again
  StatusSendAgain = 3,
};

// The commands the server offers.
inline constexpr const char* HelloCommand = "hi!";
inline constexpr const char* ProductInfoCommand = "admin:getProductInfo";
inline constexpr const char* GetFileCommand = "admin:getFile";
