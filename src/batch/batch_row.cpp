#include "batch/batch_row.h"

QString BatchRow::statusText() const
{
    switch (status) {
    case Status::Waiting:
        return u"待機"_qs;
    case Status::Querying:
        return u"照会中"_qs;
    case Status::Done:
        return u"完了"_qs;
    case Status::NotRegistered:
        return u"未登録"_qs;
    case Status::SameNetwork:
        return u"同一ネットワーク"_qs;
    case Status::Failed:
        return u"失敗"_qs;
    }
    return {};
}
