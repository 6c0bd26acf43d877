// Fuzzes the profile file reader and writer on any bytes as "zorv.ini": a
// key written reads back as written, and a key of another section reads the
// same before and after.
#include "core/config/profile.h"
#include "fuzz_common.h"

using namespace Qt::StringLiterals;
using zorv::config::readProfileString;
using zorv::config::writeProfileString;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    zorv::fuzz::initApp();
    static const QString path = zorv::fuzz::scratchFile(u"zorv.ini"_s);
    zorv::fuzz::writeScratch(path, data, size);
    const QString dsn = readProfileString(path, u"ODBC"_s, u"DSN"_s, u"none"_s);
    (void)readProfileString(path, u"Start"_s, u"Path"_s);
    (void)readProfileString(path, QString(), QString());
    if (!writeProfileString(path, u"Start"_s, u"FuzzKey"_s, u"值 1"_s))
        std::abort();
    if (readProfileString(path, u"start"_s, u"fuzzkey"_s) != u"值 1"_s ||
        readProfileString(path, u"ODBC"_s, u"DSN"_s, u"none"_s) != dsn)
        std::abort();
    return 0;
}
