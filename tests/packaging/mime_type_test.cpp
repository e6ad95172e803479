#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

// Our MIME package as the desktop reads it, beside the base types and nothing else, so file
// managers offer the program for RPL sources: by the .rpl extension or by the calculator's
// transfer header at the start of the file.
class MimeTypeTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataDir.isValid());
        QVERIFY(QDir(m_dataDir.path()).mkpath(QStringLiteral("mime/packages")));
        QVERIFY(QFile::copy(QStringLiteral(SCRIVLET_MIME_PACKAGE),
                            m_dataDir.filePath(QStringLiteral("mime/packages/io.vantor.Scrivlet.xml"))));
        // The base types come from shared-mime-info's own package; ours is the only other one,
        // so the result does not depend on what else this machine has installed.
        const QString base = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
        if (!QFile::exists(base))
            QFAIL("the package shared-mime-info is needed: /usr/share/mime/packages/freedesktop.org.xml is missing");
        QVERIFY(QFile::copy(base, m_dataDir.filePath(QStringLiteral("mime/packages/freedesktop.org.xml"))));
        qputenv("XDG_DATA_HOME", m_dataDir.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_dataDir.path().toLocal8Bit());
    }

    void recognisesRplSources_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("type");

        const QByteArray header = "%%HP: T(3)A(R)F(.);\r\n::\r\n  DUP\r\n;\r\n@";
        QTest::newRow("extension") << "prog.rpl" << QByteArray("::\n;\n@") << "text/x-rpl";
        QTest::newRow("extension in capitals") << "PROG.RPL" << QByteArray("::\n;\n@") << "text/x-rpl";
        QTest::newRow("header, no extension") << "prog" << header << "text/x-rpl";
        QTest::newRow("header, unknown extension") << "prog.sys" << header << "text/x-rpl";
        QTest::newRow("header not at the start") << "prog" << QByteArray(" %%HP: T(3);\n::") << "text/plain";
        QTest::newRow("plain text") << "prog" << QByteArray("::\n  DUP\n;\n@") << "text/plain";
    }

    void recognisesRplSources()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, type);

        QTemporaryDir files;
        QVERIFY(files.isValid());
        QFile file(files.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        file.close();

        QCOMPARE(QMimeDatabase().mimeTypeForFile(file.fileName()).name(), type);
    }

    void rplSourcesAreText()
    {
        const QMimeType rpl = QMimeDatabase().mimeTypeForName(QStringLiteral("text/x-rpl"));
        QVERIFY(rpl.isValid());
        QVERIFY(rpl.inherits(QStringLiteral("text/plain")));
        QCOMPARE(rpl.comment(), QStringLiteral("RPL source code"));
    }

private:
    QTemporaryDir m_dataDir;
};

QTEST_GUILESS_MAIN(MimeTypeTest)
#include "mime_type_test.moc"
