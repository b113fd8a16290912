#include "gif/codec/giferrors.h"

namespace gifcodec {

void RaiseGif(int id, const char* text) { throw EInvalidGraphicOperation(id, text); }

void RaiseTooLarge() { RaiseGif(strings::kTooLargeId, strings::kTooLarge); }

void RaiseReadError() { throw EStreamError(strings::kReadErrorId, strings::kReadError); }

}  // namespace gifcodec
