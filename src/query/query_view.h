#pragma once

#include "selection/query_target.h"

#include <QString>

#include <optional>

// What the query needs of the main window: its inputs, the result pane, and
// the five operations that show progress and lock the inputs.
class QueryView {
public:
    virtual ~QueryView() = default;

    virtual QString keyText() const = 0;
    virtual void setKeyText(const QString &text) = 0;
    virtual QString comboText() const = 0;

    virtual void clearPane() = 0;
    virtual void appendToPane(const QString &text) = 0;
    // Everything appended since the pane was cleared, shown first if held.
    virtual QString paneText() = 0;
    virtual void focusKey() = 0;

    virtual void SetStatus(const QString &text) = 0;
    virtual void SetResultLabel(const QString &key, const QString &server) = 0;
    virtual void ShowWarning(const QString &text) = 0;
    virtual void EnterBusy() = 0;
    virtual void LeaveBusy() = 0;
    // The referral of the result now on screen, if its answer names one.
    virtual void SetReferral(const std::optional<QueryTarget> &referral) = 0;

protected:
    QueryView() = default;
    QueryView(const QueryView &) = default;
    QueryView &operator=(const QueryView &) = default;
};
