#include "KxRegistry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "KxTestSupport.h"

#include <memory>

class TestKxRegistry : public QObject {
    Q_OBJECT

private:
    // The per-user store lives below XDG_CONFIG_HOME, which QSettings reads once per
    // process: point it at a private folder before anything touches QSettings.
    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString writeStore(const QByteArray &content)
    {
        return KxTest::WriteFile(m_dir->filePath("registry.ini"), content);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        qunsetenv("RWN3460_REGISTRY");
    }

    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void folders_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("profileFolder");
        QTest::addColumn<QString>("catalogFolder");
        QTest::newRow("empty store") << QByteArray() << "" << "";
        QTest::newRow("exe path")
            << QByteArray("[SOFTWARE]\nKestrix\\Tarsel5.1\\ExePath\\Path=/opt/tarsel/bin/\n")
            << "/opt/tarsel/bin/../Conf/MBF/" << "";
        QTest::newRow("exe path key without a Path value")
            << QByteArray("[SOFTWARE]\nKestrix\\Tarsel5.1\\ExePath\\Other=1\n") << "../Conf/MBF/" << "";
        QTest::newRow("mib file replaces exe path")
            << QByteArray("[SOFTWARE]\nKestrix\\Tarsel5.1\\ExePath\\Path=/opt/tarsel/bin/\n"
                          "Kestrix\\Tarsel5.1\\MibFile\\Path=/srv/mbf/\n")
            << "/srv/mbf/" << "";
        QTest::newRow("mib file key without a Path value")
            << QByteArray("[SOFTWARE]\nKestrix\\Tarsel5.1\\ExePath\\Path=/opt/tarsel/bin/\n"
                          "Kestrix\\Tarsel5.1\\MibFile\\Other=x\n")
            << "" << "";
        QTest::newRow("help path without its 12-character file")
            << QByteArray("[SOFTWARE]\nKestrix\\Modules\\HelpPath\\1.3.6.1.4.1.32473.2.5.9=/usr/share/rwn/RWN-3460.hlp\n")
            << "" << "/usr/share/rwn/";
        QTest::newRow("help path of 13 characters")
            << QByteArray("[SOFTWARE]\nKestrix\\Modules\\HelpPath\\1.3.6.1.4.1.32473.2.5.9=/RWN-3460.hlp\n")
            << "" << "/";
        QTest::newRow("help path of 12 characters")
            << QByteArray("[SOFTWARE]\nKestrix\\Modules\\HelpPath\\1.3.6.1.4.1.32473.2.5.9=RWN-3460.hlp\n")
            << "" << "";
        QTest::newRow("help path with a comma")
            << QByteArray("[SOFTWARE]\nKestrix\\Modules\\HelpPath\\1.3.6.1.4.1.32473.2.5.9=/a,b/RWN-3460.hlp\n")
            << "" << "/a,b/";
        QTest::newRow("section per key path")
            << QByteArray("[SOFTWARE\\Kestrix\\Tarsel5.1\\MibFile]\nPath=/srv/mbf/\n") << "/srv/mbf/" << "";
    }

    void folders()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, profileFolder);
        QFETCH(QString, catalogFolder);
        KxRegistry registry(writeStore(content));
        QCOMPARE(ProfileFolder(registry), profileFolder);
        QCOMPARE(CatalogFolder(registry), catalogFolder);
    }

    // Only the catalog key is created; the host manager's keys are never invented.
    void onlyHelpPathCreated()
    {
        const QString path = writeStore(QByteArray());
        {
            KxRegistry registry(path);
            QVERIFY(!registry.KeyExists(KxRegistryKey::HelpPath));
            QCOMPARE(CatalogFolder(registry), QString());
            QCOMPARE(ProfileFolder(registry), QString());
        }
        KxRegistry again(path);
        QVERIFY(again.KeyExists(KxRegistryKey::HelpPath));
        QVERIFY(!again.KeyExists(KxRegistryKey::ExePath));
        QVERIFY(!again.KeyExists(KxRegistryKey::MibFile));
        QCOMPARE(again.ReadString(KxRegistryKey::HelpPath, KxRegistryKey::HelpValue), QString());
    }

    void unwritableStoreGivesEmptyFolder()
    {
        // A store below a plain file can never be created.
        const QString file = writeStore("x");
        KxRegistry registry(file + "/registry.ini");
        QCOMPARE(CatalogFolder(registry), QString());
    }

    void environmentNamesTheStore()
    {
        const QString path = writeStore("[SOFTWARE]\nKestrix\\Tarsel5.1\\MibFile\\Path=/env/\n");
        qputenv("RWN3460_REGISTRY", QFile::encodeName(path));
        KxRegistry registry;
        qunsetenv("RWN3460_REGISTRY");
        QCOMPARE(registry.WritableFile(), path);
        QCOMPARE(ProfileFolder(registry), QStringLiteral("/env/"));
    }

    // Without the variable the created key lands in the user's XDG config folder.
    void perUserFileWithoutEnvironment()
    {
        KxRegistry registry;
        QVERIFY(registry.WritableFile().startsWith(m_config.path() + "/"));
        QCOMPARE(CatalogFolder(registry), QString());
        QSettings written(registry.WritableFile(), QSettings::IniFormat);
        QVERIFY(!written.allKeys().isEmpty());
        QVERIFY(written.allKeys().first().startsWith(KxRegistryKey::HelpPath + "/"));
    }
};

QTEST_GUILESS_MAIN(TestKxRegistry)
#include "tst_kxregistry.moc"
