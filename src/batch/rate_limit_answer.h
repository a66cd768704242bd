#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QStringView>

#include <chrono>
#include <optional>

// Whether a whois answer is a refusal for asking too often rather than an
// answer: ARIN's "Query rate limit exceeded", RIPE's and APNIC's
// "%ERROR:201: access denied", and the "limit exceeded" / "quota exceeded"
// sentences of registries. Only the head of the answer is read, where these
// stand; a record that mentions a limit further down stays an answer.
bool isRateLimitAnswer(QStringView answer);

// The wait an HTTP Retry-After value asks for, either delta-seconds or an
// HTTP-date (counted from now; a date already past is no wait); none when
// the value is neither.
std::optional<std::chrono::seconds> readRetryAfter(QByteArrayView value, const QDateTime &now);
