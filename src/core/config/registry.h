#pragma once
// The per-user registry store: key paths exactly as written
// ("HKEY_CURRENT_USER\Software\ODBC\ODBC.INI\zorv"), each holding named values
// of type string or 32-bit number, kept in the order they were first written.
// Key and value names match case-insensitively and keep their written case.
// Every call reads the store file and every change rewrites it atomically, so
// separate store objects and processes see one state.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorv::config {

enum class RegType { String, Number };

struct RegValue {
    QString name;
    RegType type = RegType::String;
    QString text;       // data of a string value
    quint32 number = 0; // data of a number value
};

class RegistryStore {
public:
    // $XDG_CONFIG_HOME/zorvane/registry.json (default ~/.config/zorvane/).
    static QString defaultPath();

    explicit RegistryStore(QString path = defaultPath());
    QString path() const { return m_path; }

    // Writes create the key (and its parents) when missing. A store file that
    // exists but cannot be read is never overwritten: writes then fail.
    bool setString(const QString &key, const QString &name, const QString &data);
    bool setNumber(const QString &key, const QString &name, quint32 data);
    // True when the value is gone afterwards (also when it never existed).
    bool deleteValue(const QString &key, const QString &name);

    std::optional<RegValue> value(const QString &key, const QString &name) const;
    bool keyExists(const QString &key) const;
    QStringList keys() const;
    QList<RegValue> values(const QString &key) const;

    // Between these, changes are collected in memory and written to the file
    // once by endBatch() (false when that write fails; nothing is written
    // when the store file could not be read).
    void beginBatch();
    bool endBatch();

    // Text of the last failure.
    QString errorString() const { return m_error; }

private:
    struct Key {
        QString path;
        QList<RegValue> values;
    };
    bool load(QList<Key> *keys) const;
    bool save(const QList<Key> &keys);
    bool setValue(const QString &key, const RegValue &v);

    QString m_path;
    mutable QString m_error;
    bool m_batching = false;
    bool m_batchReadable = false;
    QList<Key> m_batch;
};

} // namespace zorv::config
