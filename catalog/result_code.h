#pragma once

#include <cstdint>

// 32-bit result codes in the platform's component convention: negative means failure.
// Built from their bit patterns so they stay negative where `long` is wider.
constexpr long MakeResultCode(uint32_t bits) {
    return static_cast<long>(static_cast<int32_t>(bits));
}

constexpr long kResultOk = 0;
constexpr long kResultFail = MakeResultCode(0x80004005);          // E_FAIL
constexpr long kResultInvalidArg = MakeResultCode(0x80070057);    // E_INVALIDARG
constexpr long kResultOutOfMemory = MakeResultCode(0x8007000E);   // E_OUTOFMEMORY
constexpr long kResultNotFound = MakeResultCode(0x800C0005);      // INET_E_RESOURCE_NOT_FOUND
constexpr long kResultAccessDenied = MakeResultCode(0x80070005);  // E_ACCESSDENIED
