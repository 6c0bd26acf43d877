#include "core/config/profile.h"
#include "core/text/gbtext.h"
#include "support/tempdir.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using zorv::test::readFile;
using zorv::test::writeFile;

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray ini = "; comment line\r\n"
                               "Orphan=before any section\r\n"
                               "[ODBC]\r\n"
                               "  DBMS =  ODBC  \r\n"
                               ";DSN_Name=commented\r\n"
                               "DSN_Name=\"my dsn\"\r\n"
                               "USER_Name=\r\n"
                               "USER_pw='a;b'\r\n"
                               "[ Start ]\r\n"
                               "First=true\r\n"
                               "[odbc]\r\n"
                               "AutoCommit=second section ignored\r\n";
        QTest::newRow("trimmed value") << ini << "ODBC"
                                       << "DBMS"
                                       << "ODBC";
        QTest::newRow("names ignore case") << ini << "odbc"
                                           << "dbms"
                                           << "ODBC";
        QTest::newRow("double quotes stripped") << ini << "ODBC"
                                                << "DSN_Name"
                                                << "my dsn";
        QTest::newRow("single quotes stripped") << ini << "ODBC"
                                                << "USER_pw"
                                                << "a;b";
        QTest::newRow("empty value is not the default") << ini << "ODBC"
                                                        << "USER_Name"
                                                        << "";
        QTest::newRow("blank inside brackets") << ini << "start"
                                               << "FIRST"
                                               << "true";
        QTest::newRow("missing key") << ini << "Start"
                                     << "Nope"
                                     << "<def>";
        QTest::newRow("missing section") << ini << "Other"
                                         << "First"
                                         << "<def>";
        QTest::newRow("key outside sections") << ini << "ODBC"
                                              << "Orphan"
                                              << "<def>";
        QTest::newRow("only the first section counts") << ini << "ODBC"
                                                       << "AutoCommit"
                                                       << "<def>";
        // Only a matching pair of quotes around the whole value goes; what
        // they enclose is kept as it is, blanks included.
        const QByteArray quoted = "[ODBC]\r\n"
                                  "USER_pw=\"\"\r\n"
                                  "USER_Name= '' \r\n"
                                  "DSN_Name=\"  \"\r\n"
                                  "DBMS=\"\r\n"
                                  "AutoCommit=\"true'\r\n";
        QTest::newRow("two double quotes read as empty") << quoted << "ODBC"
                                                         << "USER_pw"
                                                         << "";
        QTest::newRow("two single quotes, blanks around") << quoted << "ODBC"
                                                          << "USER_Name"
                                                          << "";
        QTest::newRow("quoted blanks are kept") << quoted << "ODBC"
                                                << "DSN_Name"
                                                << "  ";
        QTest::newRow("a lone quote stays") << quoted << "ODBC"
                                            << "DBMS"
                                            << "\"";
        QTest::newRow("unmatched quotes stay") << quoted << "ODBC"
                                               << "AutoCommit"
                                               << "\"true'";
        QTest::newRow("empty file") << QByteArray() << "ODBC"
                                    << "DBMS"
                                    << "<def>";
        QTest::newRow("LF only, no final line end") << QByteArray("[ODBC]\nDSN_Name=lf") << "ODBC"
                                                    << "DSN_Name"
                                                    << "lf";
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF[ODBC]\r\nDSN_Name=数据源\r\n") << "ODBC"
            << "DSN_Name"
            << "数据源";
        QTest::newRow("GBK") << text::toGb18030(QStringLiteral("[ODBC]\r\nDSN_Name=中文源\r\n"))
                             << "ODBC"
                             << "DSN_Name"
                             << "中文源";
        QTest::newRow("UTF-16 LE")
            << (QByteArray("\xFF\xFE") +
                QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(u"[ODBC]\r\nDSN_Name=宽\r\n")))
            << "ODBC"
            << "DSN_Name"
            << "宽";
    }
    void reads() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zorv.ini"));
        QVERIFY(writeFile(path, file));
        QCOMPARE(config::readProfileString(path, section, key, QStringLiteral("<def>")), expected);
    }

    void missingFileGivesDefault() {
        QCOMPARE(config::readProfileString(QStringLiteral("/nonexistent/zorv.ini"),
                                           QStringLiteral("ODBC"), QStringLiteral("DSN_Name"),
                                           QStringLiteral("zorv")),
                 QStringLiteral("zorv"));
    }

    // Writing Start/First changes or adds exactly one line; every other byte stays.
    void writeKeepsOtherLines_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("replace existing key")
            << QByteArray("[ODBC]\r\nDBMS=ODBC ; odd\r\n\r\n[start]\r\n  first = true  \r\n"
                          "[Other]\r\nFirst=true\r\n")
            << QByteArray("[ODBC]\r\nDBMS=ODBC ; odd\r\n\r\n[start]\r\nfirst=false\r\n"
                          "[Other]\r\nFirst=true\r\n");
        QTest::newRow("add key at end of section, before blank lines")
            << QByteArray("[Start]\r\nOther=1\r\n\r\n[ODBC]\r\nDBMS=x\r\n")
            << QByteArray("[Start]\r\nOther=1\r\nFirst=false\r\n\r\n[ODBC]\r\nDBMS=x\r\n");
        QTest::newRow("add section, LF file without final line end")
            << QByteArray("[ODBC]\nDBMS=ODBC")
            << QByteArray("[ODBC]\nDBMS=ODBC\n[Start]\nFirst=false\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("[Start]\r\nFirst=false\r\n");
        QTest::newRow("last line without line end is the key")
            << QByteArray("[Start]\r\nFirst=true") << QByteArray("[Start]\r\nFirst=false");
        const QByteArray gbk =
            text::toGb18030(QStringLiteral("; 配置文件\r\n[ODBC]\r\nUSER_Name=张三\r\n"));
        QTest::newRow("GBK bytes untouched") << gbk + "[Start]\r\nFirst=true\r\n"
                                             << gbk + "[Start]\r\nFirst=false\r\n";
        QTest::newRow("UTF-8 BOM kept") << QByteArray("\xEF\xBB\xBF[Start]\r\nFirst=true\r\n")
                                        << QByteArray("\xEF\xBB\xBF[Start]\r\nFirst=false\r\n");
    }
    void writeKeepsOtherLines() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zorv.ini"));
        QVERIFY(writeFile(path, before));
        QVERIFY(config::writeProfileString(path, QStringLiteral("Start"), QStringLiteral("First"),
                                           QStringLiteral("false")));
        QCOMPARE(readFile(path), after);
        QCOMPARE(config::readProfileString(path, QStringLiteral("Start"), QStringLiteral("First")),
                 QStringLiteral("false"));
    }

    void writeCreatesMissingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.ini"));
        QVERIFY(config::writeProfileString(path, QStringLiteral("Start"), QStringLiteral("First"),
                                           QStringLiteral("false")));
        QCOMPARE(readFile(path), QByteArray("[Start]\r\nFirst=false\r\n"));
    }

    void writeUtf16RoundTrips() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("u16.ini"));
        QStringEncoder enc(QStringEncoder::Utf16LE);
        QVERIFY(writeFile(
            path, QByteArray("\xFF\xFE") +
                      QByteArray(enc(u"[ODBC]\r\nDSN_Name=宽\r\n[Start]\r\nFirst=true\r\n"))));
        QVERIFY(config::writeProfileString(path, QStringLiteral("Start"), QStringLiteral("First"),
                                           QStringLiteral("false")));
        QCOMPARE(readFile(path),
                 QByteArray("\xFF\xFE") +
                     QByteArray(enc(u"[ODBC]\r\nDSN_Name=宽\r\n[Start]\r\nFirst=false\r\n")));
    }

    void writeFailsIntoMissingFolder() {
        QString error;
        QVERIFY(!config::writeProfileString(QStringLiteral("/nonexistent/dir/zorv.ini"),
                                            QStringLiteral("Start"), QStringLiteral("First"),
                                            QStringLiteral("false"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
