// Fuzzes the registry store's reader on any bytes as the store file: it is
// read or refused as damaged; a store that reads takes a new value, which
// then reads back, and keeps the values it had.
#include "core/config/registry.h"
#include "fuzz_common.h"

using namespace Qt::StringLiterals;
using zorv::config::RegistryStore;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    zorv::fuzz::initApp();
    static const QString path = zorv::fuzz::scratchFile(u"registry.json"_s);
    zorv::fuzz::writeScratch(path, data, size);
    RegistryStore store(path);
    const QStringList keys = store.keys();
    if (!store.errorString().isEmpty())
        return 0; // refused as damaged: never written over
    qsizetype values = 0;
    for (const QString &key : keys.mid(0, 50)) {
        const auto list = store.values(key);
        values += list.size();
        for (const auto &v : list.mid(0, 20))
            if (!store.value(key, v.name))
                std::abort();
    }
    const QString key = u"HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\zorv"_s;
    if (!store.setString(key, u"FuzzName"_s, u"数据"_s))
        std::abort();
    const auto v = store.value(key, u"fuzzname"_s);
    if (!v || v->text != u"数据"_s || store.keys().size() < keys.size())
        std::abort();
    return 0;
}
