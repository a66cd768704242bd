#include "rdap/json_syntax.h"
#include "rdap/raw_json_object.h"
#include "rdap/raw_json_value.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr int kMaxNesting = 64;

// Random JSON-like text: Qt's laxer forms and plain mistakes among valid
// values, escaped and repeated member names, and now and then a byte
// changed, removed or added.
class RandomJson {
public:
    explicit RandomJson(quint32 seed) : m_random(seed) { }

    QByteArray document()
    {
        QByteArray json = blank() + object(0) + blank();
        if (pick(8) == 0)
            json.prepend("\xEF\xBB\xBF");
        for (int edits = pick(3) == 0 ? 1 + pick(2) : 0; edits > 0 && !json.isEmpty(); --edits) {
            static const char kBytes[] = "{}[]\",:\\ 0-.eE\x80\xC3\xE2\xF0";
            const int at = pick(int(json.size()));
            const char byte = kBytes[pick(int(sizeof(kBytes)) - 1)];
            switch (pick(3)) {
            case 0:
                json.remove(at, 1);
                break;
            case 1:
                json.insert(at, byte);
                break;
            default:
                json[at] = byte;
                break;
            }
        }
        return json;
    }

private:
    int pick(int n) { return int(m_random.bounded(n)); }

    QByteArray blank()
    {
        static const char *const kBlanks[] = { "", "", " ", "\n\t", "\r\n  " };
        return kBlanks[pick(int(std::size(kBlanks)))];
    }

    QByteArray string()
    {
        static const char *const kPieces[] = { "a", "handle", "Z ", "\\\"", "\\\\", "\\/", "\\n",
            "\\t", "\\u0041", "\\u00e9", "\\ud83d\\ude00", "\\udc00", "\\u0000", "\\q", "\\\x80",
            "\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF", "\xEF\xBF\xBE", "\x01",
            "\x7F", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\\u12" };
        QByteArray text = "\"";
        for (int i = pick(4); i > 0; --i)
            text += kPieces[pick(int(std::size(kPieces)))];
        return text + '"';
    }

    QByteArray value(int depth)
    {
        static const char *const kScalars[] = { "0", "-0", "42", "-7", "1.0", "1.5", "1e2",
            "2.5E-3", "1.", ".5", "-.5", "9223372036854775807", "9223372036854775808",
            "-9223372036854775809", "123456789012345678", "1e400", "00", "-", "+1", "1e", "true",
            "false", "null", "nul", "tru" };
        switch (pick(depth > 4 ? 2 : 4)) {
        case 0:
            return string();
        case 1:
            return kScalars[pick(int(std::size(kScalars)))];
        case 2: {
            QByteArray items;
            for (int i = pick(4); i > 0; --i)
                items += (items.isEmpty() ? "" : ",") + blank() + value(depth + 1) + blank();
            return '[' + items + ']';
        }
        default:
            return object(depth + 1);
        }
    }

    QByteArray object(int depth)
    {
        static const char *const kNames[] = { "\"a\"", "\"b\"", "\"\\u0061\"", "\"\"",
            "\"\xC3\xA9\"", "\"\\u00e9\"", "\"a b\"" };
        QByteArray members;
        for (int i = pick(5); i > 0; --i) {
            members += (members.isEmpty() ? "" : ",") + blank()
                + kNames[pick(int(std::size(kNames)))] + blank() + ':' + blank() + value(depth)
                + blank();
        }
        return '{' + members + '}';
    }

    QRandomGenerator m_random;
};

// Whether the value read in place is the value Qt reads, all the way down.
bool SameValue(const RawJsonValue &raw, const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return !raw.isUndefined() && !raw.isString() && !raw.isBool() && !raw.isDouble()
            && !raw.isArray() && !raw.isObject();
    case QJsonValue::Bool:
        return raw.isBool() && raw.toBool() == value.toBool();
    case QJsonValue::Double:
        return raw.isDouble() && raw.toInteger() == value.toInteger();
    case QJsonValue::String:
        return raw.isString() && raw.toString() == value.toString();
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        qsizetype index = 0;
        for (const RawJsonValue &element : raw) {
            if (index >= array.size() || !SameValue(element, array.at(index++)))
                return false;
        }
        return raw.isArray() && index == array.size() && raw.at(index).isUndefined();
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        if (!raw.isObject()
            || !RawJsonObject(raw, { u"no such name" }).value(u"no such name").isUndefined())
            return false;
        for (auto member = object.begin(); member != object.end(); ++member) {
            const QString name = member.key();
            if (!SameValue(RawJsonObject(raw, { name }).value(name), member.value()))
                return false;
        }
        return true;
    }
    case QJsonValue::Undefined:
        return raw.isUndefined();
    }
    return false;
}

} // namespace

class TestRawJson : public QObject {
    Q_OBJECT

private slots:
    // Over random text, the check accepts what QJsonDocument reads as an
    // object, and what is then read in place is what Qt reads: strings
    // decoded alike, numbers alike, the last of repeated names.
    void readsAsQtReads()
    {
        constexpr quint32 kSeed = 20240612;
        RandomJson random(kSeed);
        int accepted = 0;
        for (int run = 0; run < 20000; ++run) {
            const QByteArray json = random.document();
            const QByteArray failure = "seed " + QByteArray::number(kSeed) + ", run "
                + QByteArray::number(run) + ": " + json.toPercentEncoding(" {}[]:,\"");
            QJsonParseError error {};
            const QJsonDocument document = QJsonDocument::fromJson(json, &error);
            const bool qtReads = error.error == QJsonParseError::NoError && document.isObject();
            const qsizetype start = jsonObjectStart(json, kMaxNesting);
            QVERIFY2((start >= 0) == qtReads, failure.constData());
            if (!qtReads)
                continue;
            ++accepted;
            QVERIFY2(SameValue(RawJsonValue(QByteArrayView(json).sliced(start)), document.object()),
                failure.constData());
        }
        QVERIFY(accepted > 5000);
    }

    void nesting_data()
    {
        QTest::addColumn<int>("depth");
        for (const int depth : { 1, 2, kMaxNesting, kMaxNesting + 1 })
            QTest::addRow("%d", depth) << depth;
    }

    // Arrays and objects alike count towards the nesting, the outermost
    // object included.
    void nesting()
    {
        QFETCH(int, depth);
        QByteArray value = "0";
        for (int level = 1; level < depth; ++level)
            value = level % 2 == 0 ? "{\"a\": " + value + '}' : '[' + value + ']';
        const QByteArray json = "{\"a\": " + value + '}';
        QCOMPARE(jsonObjectStart(json, depth), 0);
        QCOMPARE(jsonObjectStart(json, depth - 1), -1);
    }
};

QTEST_GUILESS_MAIN(TestRawJson)
#include "tst_raw_json.moc"
