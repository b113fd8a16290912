#include "gif/codec/extension.h"

namespace gifcodec {

std::size_t TExtension::FixedSize() const {
    switch (type) {
        case TExtensionType::etGraphicControl:
            return 6;
        case TExtensionType::etPlainText:
            return 13;
        case TExtensionType::etApplication:
            return 12;
        case TExtensionType::etComment:
        case TExtensionType::etOther:
            break;
    }
    return 0;
}

TExtension TExtension::NewGraphicControl() {
    TExtension e;
    e.fixed[0] = 4;  // block size; packed, delay, index and terminator stay 0
    return e;
}

}  // namespace gifcodec
