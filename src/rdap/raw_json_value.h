#pragma once

#include <QByteArrayView>
#include <QString>

#include <iterator>

// A value inside JSON text that jsonObjectStart accepted, read where it
// lies: nothing is built but what is asked for, so reading a large answer
// costs little more memory than its bytes. Reading follows QJsonValue's:
// a string is decoded as Qt decodes it, a number reads as a whole number
// only when it is one, and asking a value for another kind than its own
// gives an empty result (an empty string, false, 0, no elements).
class RawJsonValue {
public:
    class Iterator;

    // The undefined value, as a missing member or element reads.
    RawJsonValue() = default;
    // The value that `text` begins with; the text may run on past its end.
    explicit RawJsonValue(QByteArrayView text) : m_text(text) { }

    bool isUndefined() const { return m_text.isEmpty(); }
    bool isString() const { return first() == '"'; }
    bool isArray() const { return first() == '['; }
    bool isObject() const { return first() == '{'; }
    bool isBool() const { return first() == 't' || first() == 'f'; }
    // A number, as QJsonValue::isDouble says of every number.
    bool isDouble() const;

    QString toString() const;
    bool toBool() const { return first() == 't'; }
    // The number when it is a whole number that fits, else 0 (as
    // QJsonValue::toInteger).
    qint64 toInteger() const;

    // The elements of an array; none for anything else. An iterator that
    // reaches the end tells the array its length, so the array must
    // outlive its iterators.
    Iterator begin() const;
    Iterator end() const;
    // The element at `index` of an array, or undefined.
    RawJsonValue at(qsizetype index) const;

    // The value's own text, up to its last character.
    QByteArrayView text() const;

private:
    friend class RawJsonObject;

    char first() const { return m_text.isEmpty() ? '\0' : m_text.front(); }
    // The index of the first character from `at` on that is not a blank.
    static qsizetype skipBlanks(QByteArrayView text, qsizetype at);

    QByteArrayView m_text; // from the value's first character on
    // The length of the value once a reader has been through it, so that
    // stepping over it does not read it again.
    mutable qsizetype m_length = -1;
};

class RawJsonValue::Iterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = RawJsonValue;
    using difference_type = qsizetype;
    using pointer = const RawJsonValue *;
    using reference = const RawJsonValue &;

    Iterator() = default;
    Iterator(const RawJsonValue *array, RawJsonValue element) : m_array(array), m_element(element)
    {
    }

    const RawJsonValue &operator*() const { return m_element; }
    Iterator &operator++();
    Iterator operator++(int)
    {
        Iterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const Iterator &other) const
    {
        return m_element.m_text.data() == other.m_element.m_text.data();
    }

private:
    const RawJsonValue *m_array = nullptr; // told its length once its end is reached
    RawJsonValue m_element; // undefined past the last element
};
