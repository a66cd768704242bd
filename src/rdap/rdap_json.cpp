#include "rdap/rdap_json.h"

namespace {

// Calls onByte(byte, inString) for each byte, telling whether it belongs to
// a string (its quotes included).
template<typename OnByte> void ScanJson(QByteArrayView json, OnByte onByte)
{
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (inString) {
            onByte(c, true);
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        onByte(c, inString);
    }
}

bool IsJsonBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

int JsonNestingDepth(QByteArrayView json)
{
    int depth = 0;
    int deepest = 0;
    ScanJson(json, [&](char c, bool inString) {
        if (inString)
            return;
        if (c == '{' || c == '[')
            deepest = std::max(deepest, ++depth);
        else if (c == '}' || c == ']')
            --depth;
    });
    return deepest;
}

QByteArray IndentJson(QByteArrayView json)
{
    QByteArray out;
    out.reserve(json.size() * 2);
    int depth = 0;
    bool opened = false; // the last byte opened an array or object
    const auto newLine = [&] {
        out += '\n';
        out.append(qsizetype(depth) * 4, ' ');
    };
    ScanJson(json, [&](char c, bool inString) {
        if (inString) {
            if (opened)
                newLine();
            opened = false;
            out += c;
            return;
        }
        if (IsJsonBlank(c))
            return;
        const bool closing = c == '}' || c == ']';
        if (closing) {
            --depth;
            if (!opened)
                newLine();
        } else if (opened) {
            newLine();
        }
        opened = false;
        out += c;
        if (c == '{' || c == '[') {
            ++depth;
            opened = true;
        } else if (c == ',') {
            newLine();
        } else if (c == ':') {
            out += ' ';
        }
    });
    return out;
}
