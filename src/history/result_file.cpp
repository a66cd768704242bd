#include "history/result_file.h"

#include <QSaveFile>

namespace {

constexpr qsizetype kMaxNameBytes = 255;
const QString kExtension = u".txt"_qs;
const QString kFallbackStem = u"whois"_qs;

bool refusedInFileName(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"\\/:*?\"<>|").contains(c);
}

bool droppedAtTheEnds(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'.';
}

QString withoutEnds(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && droppedAtTheEnds(text[first]))
        ++first;
    while (end > first && droppedAtTheEnds(text[end - 1]))
        --end;
    return text.sliced(first, end - first);
}

// Names that some systems take for a device whatever extension follows.
bool isDeviceName(const QString &stem)
{
    const QString base = stem.section(u'.', 0, 0).toUpper();
    static const QStringList devices { u"CON"_qs, u"PRN"_qs, u"AUX"_qs, u"NUL"_qs };
    if (devices.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(u"COM") || base.startsWith(u"LPT"))
        && base[3] >= u'1' && base[3] <= u'9';
}

// The longest start of text that fits in maxBytes of UTF-8, never splitting
// a surrogate pair.
QString cutToUtf8Bytes(const QString &text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype units = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        const qsizetype size = text.sliced(at, units).toUtf8().size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        at += units;
    }
    return text.first(at);
}

} // namespace

QByteArray resultFileBytes(QStringView text)
{
    QString lines;
    lines.reserve(text.size() + text.size() / 16);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == u'\r' || c == u'\n') {
            lines += u"\r\n";
            if (c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
                ++at;
        } else {
            lines += c;
        }
    }
    return lines.toUtf8();
}

QString resultFileName(QStringView key)
{
    QString stem;
    stem.reserve(key.size());
    for (qsizetype at = 0; at < key.size(); ++at) {
        const QChar c = key[at];
        // A lone half of a surrogate pair has no UTF-8 form.
        const bool pair =
            c.isHighSurrogate() && at + 1 < key.size() && key[at + 1].isLowSurrogate();
        if (pair) {
            stem += key.sliced(at, 2);
            ++at;
        } else {
            stem += refusedInFileName(c) || c.isSurrogate() ? QChar(u'_') : c;
        }
    }
    stem = withoutEnds(cutToUtf8Bytes(withoutEnds(stem), kMaxNameBytes - kExtension.size() - 1));
    if (stem.isEmpty())
        stem = kFallbackStem;
    else if (isDeviceName(stem))
        stem.prepend(u'_');
    return stem + kExtension;
}

std::optional<QString> writeResultFile(const QString &path, QStringView text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = resultFileBytes(text);
    if (file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}
