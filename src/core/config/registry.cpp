#include "core/config/registry.h"

#include <cmath>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace zorv::config {
namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");

bool same(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

template <typename List, typename Get>
qsizetype findIndex(const List &list, const QString &name, Get get) {
    for (qsizetype i = 0; i < list.size(); ++i)
        if (same(get(list[i]), name))
            return i;
    return -1;
}

} // namespace

QString RegistryStore::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/zorvane/registry.json");
}

RegistryStore::RegistryStore(QString path) : m_path(std::move(path)) {}

void RegistryStore::beginBatch() {
    m_batching = false;
    m_batchReadable = load(&m_batch);
    m_batching = true;
}

bool RegistryStore::endBatch() {
    if (!m_batching)
        return true;
    m_batching = false;
    const QList<Key> keys = std::exchange(m_batch, {});
    return m_batchReadable && save(keys);
}

bool RegistryStore::load(QList<Key> *keys) const {
    if (m_batching) {
        *keys = m_batch;
        return m_batchReadable;
    }
    keys->clear();
    QFile f(m_path);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = f.errorString();
        return false;
    }
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        m_error = QStringLiteral("注册表存储文件已损坏: ") + m_path;
        return false;
    }
    for (const QJsonValue &k : doc.object().value(u"keys").toArray()) {
        const QJsonObject ko = k.toObject();
        Key key{ko.value(u"path").toString(), {}};
        for (const QJsonValue &v : ko.value(u"values").toArray()) {
            const QJsonObject vo = v.toObject();
            RegValue rv;
            rv.name = vo.value(u"name").toString();
            if (vo.value(u"type").toString() == u"REG_DWORD") {
                rv.type = RegType::Number;
                // A 32-bit number is stored as a JSON number; anything else
                // (negative, too large, fractional, not a number) cannot come
                // from this store's writer, so the file counts as damaged.
                const QJsonValue data = vo.value(u"data");
                const double d = data.toDouble(-1);
                if (!data.isDouble() || !(d >= 0 && d <= 4294967295.0) || d != std::floor(d)) {
                    m_error = QStringLiteral("注册表存储文件已损坏: ") + m_path;
                    keys->clear();
                    return false;
                }
                rv.number = quint32(d);
            } else {
                rv.text = vo.value(u"data").toString();
            }
            key.values.append(rv);
        }
        keys->append(key);
    }
    return true;
}

bool RegistryStore::save(const QList<Key> &keys) {
    if (m_batching) {
        m_batch = keys;
        return true;
    }
    QJsonArray arr;
    for (const Key &k : keys) {
        QJsonArray vals;
        for (const RegValue &v : k.values) {
            QJsonObject vo{{QStringLiteral("name"), v.name}};
            if (v.type == RegType::Number) {
                vo.insert(u"type", QStringLiteral("REG_DWORD"));
                vo.insert(u"data", double(v.number));
            } else {
                vo.insert(u"type", QStringLiteral("REG_SZ"));
                vo.insert(u"data", v.text);
            }
            vals.append(vo);
        }
        arr.append(QJsonObject{{QStringLiteral("path"), k.path}, {QStringLiteral("values"), vals}});
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly)) {
        m_error = out.errorString();
        return false;
    }
    out.write(QJsonDocument(QJsonObject{{QStringLiteral("keys"), arr}}).toJson());
    if (!out.commit()) {
        m_error = out.errorString();
        return false;
    }
    return true;
}

bool RegistryStore::setValue(const QString &key, const RegValue &v) {
    QList<Key> keys;
    if (!load(&keys))
        return false;
    // Creating a key creates its parents below the hive, as the desktop does.
    const QStringList parts = key.split(u'\\');
    QString path;
    qsizetype index = -1;
    for (const QString &part : parts) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        if (same(path, kRoot))
            continue;
        index = findIndex(keys, path, [](const Key &k) { return k.path; });
        if (index < 0) {
            keys.append(Key{path, {}});
            index = keys.size() - 1;
        }
    }
    if (index < 0) {
        m_error = QStringLiteral("无效的注册表键: ") + key;
        return false;
    }
    QList<RegValue> &vals = keys[index].values;
    const qsizetype at = findIndex(vals, v.name, [](const RegValue &r) { return r.name; });
    if (at >= 0)
        vals[at] = RegValue{vals[at].name, v.type, v.text, v.number};
    else
        vals.append(v);
    return save(keys);
}

bool RegistryStore::setString(const QString &key, const QString &name, const QString &data) {
    return setValue(key, RegValue{name, RegType::String, data, 0});
}

bool RegistryStore::setNumber(const QString &key, const QString &name, quint32 data) {
    return setValue(key, RegValue{name, RegType::Number, {}, data});
}

bool RegistryStore::deleteValue(const QString &key, const QString &name) {
    QList<Key> keys;
    if (!load(&keys))
        return false;
    const qsizetype k = findIndex(keys, key, [](const Key &x) { return x.path; });
    if (k < 0)
        return true;
    const qsizetype at = findIndex(keys[k].values, name, [](const RegValue &r) { return r.name; });
    if (at < 0)
        return true;
    keys[k].values.removeAt(at);
    return save(keys);
}

std::optional<RegValue> RegistryStore::value(const QString &key, const QString &name) const {
    const QList<RegValue> vals = values(key);
    const qsizetype at = findIndex(vals, name, [](const RegValue &r) { return r.name; });
    if (at < 0)
        return std::nullopt;
    return vals[at];
}

bool RegistryStore::keyExists(const QString &key) const {
    QList<Key> keys;
    load(&keys);
    return findIndex(keys, key, [](const Key &k) { return k.path; }) >= 0;
}

QStringList RegistryStore::keys() const {
    QList<Key> keys;
    load(&keys);
    QStringList out;
    for (const Key &k : keys)
        out << k.path;
    return out;
}

QList<RegValue> RegistryStore::values(const QString &key) const {
    QList<Key> keys;
    load(&keys);
    const qsizetype k = findIndex(keys, key, [](const Key &x) { return x.path; });
    return k < 0 ? QList<RegValue>() : keys[k].values;
}

} // namespace zorv::config
