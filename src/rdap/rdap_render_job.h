#pragma once

#include "rdap/rdap_record.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// An RDAP answer read and rendered: the record (nothing when the body is no
// RDAP answer) and the text renderRdapText makes of it.
struct RdapRendering {
    std::optional<RdapRecord> record;
    QString text;
};

// Reads and renders an RDAP body on a thread of the global thread pool, so
// that a large answer does not hold up the thread that asked; `rendered` is
// emitted on the job's own thread once it is done. Starting again or
// cancelling drops a result still on its way, and so does destroying the
// job (the worker then finishes on its own and its result is thrown away).
class RdapRenderJob : public QObject {
    Q_OBJECT

public:
    explicit RdapRenderJob(QObject *parent = nullptr);
    ~RdapRenderJob() override;

    void start(const QByteArray &body);
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void rendered(const RdapRendering &rendering);

private:
    struct Link;
    void deliver(quint64 generation, const std::shared_ptr<RdapRendering> &rendering);

    std::shared_ptr<Link> m_link;
    quint64 m_generation = 0;
    bool m_running = false;
};
