#include "framework/text/packedtext.h"

#include <QByteArray>

#include "framework/core/exceptions.h"

namespace fw {

std::string PackText(std::string_view text) {
    QByteArray packed = qCompress(reinterpret_cast<const uchar*>(text.data()),
                                  static_cast<qsizetype>(text.size()), 9);
    return packed.toStdString();
}

std::string UnpackText(std::string_view packed) {
    // An empty text packs to a length of zero and nothing else; anything shorter than the
    // length is damaged.
    if (packed.size() < 4) throw EParserError("Packed text is damaged");
    QByteArray text = qUncompress(reinterpret_cast<const uchar*>(packed.data()),
                                  static_cast<qsizetype>(packed.size()));
    if (text.isEmpty() && packed.substr(0, 4) != std::string_view("\0\0\0\0", 4))
        throw EParserError("Packed text is damaged");
    return text.toStdString();
}

}  // namespace fw
