#include "rdap/rdap_json.h"

#include <algorithm>

namespace {

// The index just past the string that opens at `at`, or the end of the text
// when the string is not closed.
qsizetype StringEnd(QByteArrayView json, qsizetype at)
{
    for (qsizetype i = at + 1; i < json.size(); ++i) {
        if (json[i] == '\\')
            ++i;
        else if (json[i] == '"')
            return i + 1;
    }
    return json.size();
}

bool IsJsonBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool EndsValue(char c)
{
    return IsJsonBlank(c) || c == ',' || c == ':' || c == '}' || c == ']' || c == '"' || c == '{'
        || c == '[';
}

} // namespace

int JsonNestingDepth(QByteArrayView json)
{
    int depth = 0;
    int deepest = 0;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"')
            i = StringEnd(json, i) - 1;
        else if (c == '{' || c == '[')
            deepest = std::max(deepest, ++depth);
        else if (c == '}' || c == ']')
            --depth;
    }
    return deepest;
}

QByteArray IndentJson(QByteArrayView json)
{
    // Parsed text nests at most kMaxRdapNesting levels; deeper lines get
    // the deepest indent.
    constexpr qsizetype kMaxIndent = 4 * 64;
    // Written through a pointer: appending piece by piece costs more than
    // the layout itself.
    QByteArray out(json.size() * 2 + kMaxIndent + 2, Qt::Uninitialized);
    char *at = out.data();
    const auto reserve = [&](qsizetype more) {
        const qsizetype used = at - out.constData();
        if (used + more > out.size()) {
            out.resize(std::max(out.size() * 2, used + more));
            at = out.data() + used;
        }
    };
    const auto put = [&](const char *bytes, qsizetype size) {
        reserve(size);
        at = std::copy_n(bytes, size, at);
    };
    int depth = 0;
    bool opened = false; // the last token opened an array or object
    const auto newLine = [&] {
        const qsizetype indent = std::clamp<qsizetype>(qsizetype(depth) * 4, 0, kMaxIndent);
        reserve(indent + 1);
        *at++ = '\n';
        at = std::fill_n(at, indent, ' ');
    };
    for (qsizetype i = 0; i < json.size();) {
        const char c = json[i];
        if (IsJsonBlank(c)) {
            ++i;
            continue;
        }
        const bool closing = c == '}' || c == ']';
        if (closing) {
            --depth;
            if (!opened)
                newLine();
        } else if (opened) {
            newLine();
        }
        opened = false;

        // Strings, numbers and literals are copied whole.
        qsizetype end = i + 1;
        if (c == '"') {
            end = StringEnd(json, i);
        } else if (!closing && c != '{' && c != '[' && c != ',' && c != ':') {
            while (end < json.size() && !EndsValue(json[end]))
                ++end;
        }
        put(json.data() + i, end - i);
        i = end;

        if (c == '{' || c == '[') {
            ++depth;
            opened = true;
        } else if (c == ',') {
            newLine();
        } else if (c == ':') {
            put(" ", 1);
        }
    }
    out.truncate(at - out.constData());
    return out;
}
