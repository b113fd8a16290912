#include "gif/codec/giferrors.h"

#include <cstdio>

namespace gifcodec {

void RaiseGif(int id, const char* text) { throw EInvalidGraphicOperation(id, text); }

void RaiseUnknownExtension(unsigned label) {
    char text[64];
    std::snprintf(text, sizeof text, "Unrecognized extension block: %.2x", label & 0xFFu);
    throw EInvalidGraphicOperation(strings::kUnknownExtensionId, text);
}

void RaiseTooLarge() { RaiseGif(strings::kTooLargeId, strings::kTooLarge); }

void RaiseReadError() { throw EStreamError(strings::kReadErrorId, strings::kReadError); }

}  // namespace gifcodec
