#include "platform/ContentKind.h"
#include "platform/LoadLimit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Kind = ContentKind::Kind;

class tst_ContentKind : public QObject {
    Q_OBJECT

private slots:
    void kindOfFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("kind");
        const QByteArray text(9000, 'a');
        QTest::addRow("text") << text << qint64(0) << int(Kind::Text);
        QTest::addRow("NUL first") << QByteArray("\0ELF", 4) << qint64(0) << int(Kind::Binary);
        QTest::addRow("NUL last of the first block")
            << QByteArray(text).replace(8191, 1, "\0", 1) << qint64(0) << int(Kind::Binary);
        QTest::addRow("NUL past the first block")
            << QByteArray(text).replace(8192, 1, "\0", 1) << qint64(0) << int(Kind::Text);
        QTest::addRow("UTF-16 LE")
            << QByteArray("\xFF\xFEh\0i\0", 6) << qint64(0) << int(Kind::Text);
        QTest::addRow("UTF-16 BE")
            << QByteArray("\xFE\xFF\0h\0i", 6) << qint64(0) << int(Kind::Text);
        QTest::addRow("at the limit") << text << qint64(9000) << int(Kind::Text);
        QTest::addRow("binary past the limit")
            << QByteArray(20, '\0') << qint64(19) << int(Kind::TooLarge);
    }
    void kindOfFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("f")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        LoadLimit::setMaxFileSizeForTesting(limit);
        QTEST(int(ContentKind::ofFile(file.fileName())), "kind");
        LoadLimit::setMaxFileSizeForTesting(0);
        // A decoded text follows the same rule as its bytes.
        const TextCodec::Decoded decoded = TextCodec::decode(bytes);
        QCOMPARE(ContentKind::isBinaryText(decoded.text, decoded.encoding),
                 ContentKind::isBinaryStart(bytes));
    }
};

QTEST_GUILESS_MAIN(tst_ContentKind)
#include "tst_contentkind.moc"
