#pragma once

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>

// An answer written for the tests from the examples of RFC 9083, kept in
// the tests' resources under :/rdap/fixtures/.
inline QByteArray Fixture(const QString &name)
{
    QFile file(u":/rdap/fixtures/"_qs + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no fixture %s", qPrintable(name));
    return file.readAll();
}

// The TLS of the HTTPS test servers: the test authority's server
// certificate and key.
inline QSslConfiguration ServerConfiguration()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(Fixture(u"../tls/server.pem"_qs)));
    tls.setPrivateKey(QSslKey(Fixture(u"../tls/server.key"_qs), QSsl::Rsa));
    return tls;
}
