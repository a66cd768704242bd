#include "query/peer_reset_probe.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

PeerResetProbe::~PeerResetProbe()
{
    stop();
}

void PeerResetProbe::watch(qintptr descriptor)
{
    stop();
    m_descriptor = ::dup(static_cast<int>(descriptor));
}

bool PeerResetProbe::peerReset() const
{
    if (m_descriptor < 0)
        return false;
    tcp_info info {};
    socklen_t length = sizeof info;
    if (::getsockopt(m_descriptor, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return false;
    return info.tcpi_state == TCP_CLOSE;
}

void PeerResetProbe::stop()
{
    if (m_descriptor < 0)
        return;
    ::close(m_descriptor);
    m_descriptor = -1;
}
