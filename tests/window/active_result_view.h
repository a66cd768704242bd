#pragma once

#include "window/result_view.h"

#include <QStringList>
#include <QTest>

// A result view of its own as an active window, holding the given text.
struct ActiveResultView {
    ResultView view;

    explicit ActiveResultView(const QStringList &pieces = {})
    {
        view.resize(400, 200);
        for (const QString &piece : pieces)
            view.appendText(piece);
        view.show();
        view.activateWindow();
        if (!QTest::qWaitForWindowActive(&view))
            qFatal("the view did not become active");
        view.setFocus(Qt::OtherFocusReason);
    }
};
