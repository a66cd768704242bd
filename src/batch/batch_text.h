#pragma once

#include <QByteArrayView>
#include <QString>

// The text of a key file or pasted bytes: UTF-8 (with or without its
// byte-order mark) when the bytes are valid UTF-8, code page 932 otherwise,
// as files written on Japanese Windows are.
QString decodeBatchText(QByteArrayView bytes);
