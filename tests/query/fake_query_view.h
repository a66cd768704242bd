#pragma once

#include "query/query_view.h"

#include <QStringList>

// A query view that records every call in order, for the query tests.
class FakeQueryView : public QueryView {
public:
    QString key;
    QString combo;
    QString pane;
    QString status;
    QString label;
    QStringList warnings;
    bool busy = false;
    std::optional<QueryTarget> referral;
    QStringList log;

    QString keyText() const override { return key; }
    void setKeyText(const QString &text) override
    {
        key = text;
        log << u"key:"_qs + text;
    }
    QString comboText() const override { return combo; }
    void clearPane() override
    {
        pane.clear();
        log << u"clear"_qs;
    }
    void appendToPane(const QString &text) override { pane += text; }
    QString paneText() override { return pane; }
    void focusKey() override { log << u"focus"_qs; }
    void SetStatus(const QString &text) override
    {
        status = text;
        log << u"status:"_qs + text;
    }
    void SetResultLabel(const QString &keyText, const QString &server) override
    {
        label = keyText + u" | "_qs + server;
        log << u"label:"_qs + label;
    }
    void ShowWarning(const QString &text) override
    {
        warnings << text;
        log << u"warning"_qs;
    }
    void EnterBusy() override
    {
        busy = true;
        log << u"busy"_qs;
    }
    void LeaveBusy() override
    {
        busy = false;
        log << u"idle"_qs;
    }
    void SetReferral(const std::optional<QueryTarget> &target) override { referral = target; }
};
