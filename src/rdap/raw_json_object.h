#pragma once

#include "rdap/raw_json_value.h"

#include <QStringView>
#include <QVarLengthArray>

#include <initializer_list>

// The members of an object inside JSON text that a reader names up front,
// found in one pass over the object, so that the reader's memory does not
// grow with the object. A name given twice in the text takes its last
// value, as in QJsonObject; names are compared as decoded, escapes and all.
class RawJsonObject {
public:
    // The members named in `names`; all undefined when `object` is no
    // object.
    RawJsonObject(const RawJsonValue &object, std::initializer_list<QStringView> names);

    // The member named `name`, which must be one of the names asked for.
    RawJsonValue value(QStringView name) const;

private:
    struct Member {
        QStringView name;
        RawJsonValue value;
    };

    QVarLengthArray<Member, 32> m_members;
};
