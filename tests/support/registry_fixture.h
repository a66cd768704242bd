#pragma once

#include "selection/registry_data.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

inline QByteArray BuiltInBootstrap(BootstrapFile file)
{
    return RegistryData::builtIn().sourceFiles().bootstrap.at(static_cast<std::size_t>(file));
}

// The built-in ipv4.json published at the given time, with 41.0.0.0/8 moved
// from AFRINIC's service to RIPE NCC's, and its services changed as given.
inline QByteArray MovedIpv4(const QDateTime &publication,
    const std::function<void(QJsonArray &services)> &change = [](QJsonArray &) {})
{
    QJsonObject file = QJsonDocument::fromJson(BuiltInBootstrap(BootstrapFile::Ipv4)).object();
    QJsonArray services;
    for (const QJsonValue entry : file.value(u"services").toArray()) {
        QJsonArray keys = entry.toArray().at(0).toArray();
        const QString base = entry.toArray().at(1).toArray().at(0).toString();
        for (qsizetype i = keys.size() - 1; i >= 0; --i) {
            if (keys.at(i) == u"41.0.0.0/8"_qs)
                keys.removeAt(i);
        }
        if (base == u"https://rdap.db.ripe.net/"_qs)
            keys.append(u"41.0.0.0/8"_qs);
        services.append(QJsonArray { keys, entry.toArray().at(1) });
    }
    change(services);
    file.insert(u"services"_qs, services);
    file.insert(u"publication"_qs, publication.toString(Qt::ISODate));
    return QJsonDocument(file).toJson();
}
