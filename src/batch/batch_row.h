#pragma once

#include "batch/key_extraction.h"
#include "fields/answer_fields.h"

#include <QString>

// One key of a batch and what became of it.
struct BatchRow {
    enum class Status { Waiting, Querying, Done, NotRegistered, SameNetwork, Failed };

    ExtractedKey key;
    Status status = Status::Waiting;
    QString error; // Failed: why
    AnswerFields fields;
    QString answer; // the whole answer text as the lookup showed it

    // Whether the key has its answer (its own or a network neighbour's).
    bool isAnswered() const
    {
        return status == Status::Done || status == Status::NotRegistered
            || status == Status::SameNetwork;
    }
    // The status as the table and the export show it: 待機, 照会中, 完了,
    // 未登録, 同一ネットワーク, 失敗.
    QString statusText() const;
};
