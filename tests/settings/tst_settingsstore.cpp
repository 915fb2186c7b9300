#include "settings/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace SettingsStore;

namespace {
const QString kOptions = QStringLiteral("Software\\Scrivlane\\Options");
const QString kFindNormal = QStringLiteral("Software\\Scrivlane\\Find\\Normal");
const QString kFindFuzzy = QStringLiteral("Software\\Scrivlane\\Find\\Fuzzy");
const QString kReplaceNormal = QStringLiteral("Software\\Scrivlane\\Replace\\Normal");
const QString kCase = QStringLiteral("Case Sensitive");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_ini = m_dir->filePath(QStringLiteral("Scrivlane.ini"));
        setStoreFileForTesting(m_ini);
    }
    void cleanup() { setStoreFileForTesting(QString()); }

    void freshUserReadsDefaultsAndCreatesNothing()
    {
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("0")),
                 QStringLiteral("0"));
        QCOMPARE(readString(HKEY_CURRENT_USER, QStringLiteral("Software\\Scrivlane\\Fonts"),
                            QStringLiteral("Fontname"), QStringLiteral("Courier New")),
                 QStringLiteral("Courier New"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char0"), QString()),
                 QString());
        QVERIFY(!QFile::exists(m_ini));

        writeString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("1"));
        QVERIFY(QFile::exists(m_ini));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("digit") << QStringLiteral("1");
        QTest::addRow("empty string is not the default") << QString();
        QTest::addRow("unicode") << QStringLiteral("Grüße € 日本 😀");
        QTest::addRow("filter list with semicolons") << QStringLiteral("*.htm;*.txt");
        QTest::addRow("commas stay one string") << QStringLiteral("a, b,c");
        QTest::addRow("outer blanks") << QStringLiteral("  padded  ");
        QTest::addRow("quotes and backslashes") << QStringLiteral("C:\\dir\\\"x\" 'y'");
        QTest::addRow("line breaks and tab") << QStringLiteral("one\r\ntwo\tthree\n");
        QTest::addRow("at sign start") << QStringLiteral("@Variant(x)");
        QTest::addRow("equals and brackets") << QStringLiteral("[a]=b; #c");
        QTest::addRow("long") << QString(5000, QLatin1Char('x'));
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        writeString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char0"), text);
        writeString(HKEY_CURRENT_USER, kOptions, kCase, text);
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char0"),
                            QStringLiteral("default")),
                 text);
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("default")), text);
    }

    void layoutKeepsKeyPathsAndValueNames()
    {
        writeString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("1"));
        writeString(HKEY_CURRENT_USER, kFindFuzzy, QStringLiteral("FirstChar3"),
                    QStringLiteral("<b>"));
        QSettings raw(m_ini, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Options/Case Sensitive")).toString(),
                 QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("Find/Fuzzy/FirstChar3")).toString(),
                 QStringLiteral("<b>"));
        // Written to disk at once, not only cached.
        QVERIFY(readAll(m_ini).contains("Options"));
        QVERIFY(readAll(m_ini).contains("FirstChar3"));
    }

    void valueWithNulReadsTextBeforeNul()
    {
        writeString(HKEY_CURRENT_USER, kOptions, kCase,
                    QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("0")),
                 QStringLiteral("ab"));
    }

    void nonStringValueReadsDefault_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addRow("list") << QVariant(QStringList{QStringLiteral("1"), QStringLiteral("2")});
        QTest::addRow("bytes") << QVariant(QByteArray("1"));
        QTest::addRow("size") << QVariant(QSize(1, 2));
    }
    void nonStringValueReadsDefault()
    {
        QFETCH(QVariant, stored);
        {
            QSettings raw(m_ini, QSettings::IniFormat);
            raw.setValue(QStringLiteral("Options/Case Sensitive"), stored);
        }
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("0")),
                 QStringLiteral("0"));
    }

    void deleteMissingKeyChangesNothing()
    {
        writeString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("1"));
        deleteKey(HKEY_CURRENT_USER, kFindNormal);
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("0")),
                 QStringLiteral("1"));
    }

    void deleteRemovesValuesAndNestedKeysOnly()
    {
        for (int i = 0; i < 3; ++i)
            writeString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char%1").arg(i),
                        QStringLiteral("v%1").arg(i));
        writeString(HKEY_CURRENT_USER, kFindFuzzy, QStringLiteral("FirstChar0"),
                    QStringLiteral("f"));
        writeString(HKEY_CURRENT_USER, kReplaceNormal, QStringLiteral("ReplaceChar0"),
                    QStringLiteral("r"));

        deleteKey(HKEY_CURRENT_USER, kFindNormal);
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char1"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindFuzzy, QStringLiteral("FirstChar0"), QString()),
                 QStringLiteral("f"));

        // Deleting the parent takes the nested keys with it, as the registry does.
        deleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Scrivlane\\Find"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindFuzzy, QStringLiteral("FirstChar0"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kReplaceNormal, QStringLiteral("ReplaceChar0"),
                            QString()),
                 QStringLiteral("r"));
        QVERIFY(!readAll(m_ini).contains("Char1"));
    }

    void corruptFileReadsDefaults()
    {
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i) garbage.append(char((i * 7919 + 13) % 256));
        garbage.append("\n[Options\nCase Sensitive\n=\n\"\"\"\n\xff\xfe\x00\x01", 32);
        {
            QFile f(m_ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(garbage);
        }
        QCOMPARE(readString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("0")),
                 QStringLiteral("0"));
        QCOMPARE(readString(HKEY_CURRENT_USER, kFindNormal, QStringLiteral("Char0"),
                            QStringLiteral("d")),
                 QStringLiteral("d"));
        // Writing and deleting must not stop the program either.
        writeString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("1"));
        deleteKey(HKEY_CURRENT_USER, kFindNormal);
    }

    void unwritableStoreIsIgnoredSilently()
    {
        // A store below a plain file cannot be created, even by root.
        const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString ini = blocker + QStringLiteral("/Scrivlane.ini");
        setStoreFileForTesting(ini);
        writeString(HKEY_CURRENT_USER, kOptions, kCase, QStringLiteral("1"));
        deleteKey(HKEY_CURRENT_USER, kOptions);
        QVERIFY(!QFile::exists(ini));
        QCOMPARE(readAll(blocker), QByteArray());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
