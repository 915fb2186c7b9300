#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

/// A failed operation with the description that the user sees and the error log keeps.
class Failure : public std::exception {
public:
    explicit Failure(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toUtf8())
    {
    }

    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};
