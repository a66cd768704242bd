#include "batch/batch_text.h"

#include "encoding/code_page_932.h"

#include <QStringDecoder>

QString decodeBatchText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return CodePage932::decode(bytes);
}
