#include "rdap/rdap_render_job.h"

#include "rdap/rdap_parser.h"
#include "rdap/rdap_text.h"

#include <QMutex>
#include <QThreadPool>

// What a worker shares with its job: the job, or null once it is gone. The
// lock keeps the job alive while a worker posts to it.
struct RdapRenderJob::Link {
    QMutex mutex;
    RdapRenderJob *job = nullptr;
};

RdapRenderJob::RdapRenderJob(QObject *parent)
    : QObject(parent), m_link(std::make_shared<Link>())
{
    m_link->job = this;
}

RdapRenderJob::~RdapRenderJob()
{
    const QMutexLocker lock(&m_link->mutex);
    m_link->job = nullptr;
}

void RdapRenderJob::start(const QByteArray &body)
{
    const quint64 generation = ++m_generation;
    m_running = true;
    QThreadPool::globalInstance()->start([link = m_link, body, generation] {
        auto rendering = std::make_shared<RdapRendering>();
        rendering->record = parseRdapRecord(body);
        if (rendering->record)
            rendering->text = renderRdapText(*rendering->record, body);
        const QMutexLocker lock(&link->mutex);
        if (RdapRenderJob *job = link->job) {
            // Queued to the job's thread; a job destroyed before then takes
            // the call with it.
            QMetaObject::invokeMethod(
                job, [job, generation, rendering] { job->deliver(generation, rendering); },
                Qt::QueuedConnection);
        }
    });
}

void RdapRenderJob::cancel()
{
    ++m_generation;
    m_running = false;
}

void RdapRenderJob::deliver(quint64 generation, const std::shared_ptr<RdapRendering> &rendering)
{
    if (generation != m_generation)
        return;
    m_running = false;
    emit rendered(*rendering);
}
