#include "serverlist/server_list_text.h"

#include "encoding/code_page_932.h"
#include "encoding/utf8_char.h"

namespace {

constexpr QByteArrayView kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isUtf8WithLongSequence(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *end = p + bytes.size();
    bool longSequence = false;
    while (p != end) {
        const Utf8Char utf8 = readUtf8(p, end);
        if (utf8.size == 0)
            return false;
        longSequence = longSequence || utf8.size >= 3;
        p += utf8.size;
    }
    return longSequence;
}

} // namespace

QString serverListText(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8ByteOrderMark))
        return QString::fromUtf8(bytes.sliced(kUtf8ByteOrderMark.size()));
    if (isUtf8WithLongSequence(bytes))
        return QString::fromUtf8(bytes);
    return CodePage932::decode(bytes);
}
