#include "KxInstanceLock.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kCaption = QStringLiteral("RWN-3460 : 10.0.0.5");

// Another module for the device, in its own process.
std::unique_ptr<QProcess> startHolder(const QString &folder, const QString &caption)
{
    auto holder = std::make_unique<QProcess>();
    holder->start(QStringLiteral(KX_LOCK_HOLDER), {folder, caption});
    if (!holder->waitForStarted(10000) || !holder->waitForReadyRead(10000))
        return nullptr;
    return holder;
}

} // namespace

class TestKxInstanceLock : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void lockName_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("address") << kCaption << "RWN-3460_20_3A_2010.0.0.5.lock";
        QTest::newRow("separator") << "RWN-3460 : ../x/y" << "RWN-3460_20_3A_20.._2Fx_2Fy.lock";
        QTest::newRow("underscore is escaped too") << "a_b" << "a_5Fb.lock";
        QTest::newRow("non-ASCII as UTF-8 bytes") << QString::fromUtf8("\xC3\xA9") << "_C3_A9.lock";
    }

    void lockName()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QCOMPARE(KxInstanceLock::LockName(caption), name);
    }

    void overlongNamesStayDistinct()
    {
        const QString a = KxInstanceLock::LockName("RWN-3460 : " + QString(300, 'x') + "a");
        const QString b = KxInstanceLock::LockName("RWN-3460 : " + QString(300, 'x') + "b");
        QVERIFY(a != b);
        QVERIFY(a.toUtf8().size() <= 255);
        KxInstanceLock lock("RWN-3460 : " + QString(300, ':'), m_dir->path());
        QVERIFY(lock.TryLock());
    }

    void sameProcessSecondHolderRefused()
    {
        KxInstanceLock first(kCaption, m_dir->path());
        QVERIFY(first.TryLock());
        KxInstanceLock second(kCaption, m_dir->path());
        QVERIFY(!second.TryLock());
        KxInstanceLock other("RWN-3460 : 10.0.0.6", m_dir->path());
        QVERIFY(other.TryLock());
    }

    // A live module keeps its device however long it has run (an old lock file is not
    // stale by age); once it is killed without cleaning up, its lock is taken over.
    void liveHolderRefusedDeadHolderTakenOver()
    {
        auto holder = startHolder(m_dir->path(), kCaption);
        QVERIFY(holder);
        QCOMPARE(holder->readAllStandardOutput().trimmed(), QByteArray("locked"));

        KxInstanceLock lock(kCaption, m_dir->path());
        QVERIFY(!lock.TryLock());

        QFile file(lock.FileName());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(!lock.TryLock());

        holder->kill();
        QVERIFY(holder->waitForFinished(10000));
        QVERIFY(QFile::exists(lock.FileName()));
        QVERIFY(lock.TryLock());
        QVERIFY(lock.IsLocked());
    }

    void lockReleasedWithItsOwner()
    {
        {
            KxInstanceLock first(kCaption, m_dir->path());
            QVERIFY(first.TryLock());
        }
        KxInstanceLock next(kCaption, m_dir->path());
        QVERIFY(next.TryLock());
    }

    void holderRefusedWhileWeHoldIt()
    {
        KxInstanceLock lock(kCaption, m_dir->path());
        QVERIFY(lock.TryLock());
        auto holder = startHolder(m_dir->path(), kCaption);
        QVERIFY(holder);
        QCOMPARE(holder->readAllStandardOutput().trimmed(), QByteArray("refused"));
        holder->kill();
        holder->waitForFinished(10000);
    }
};

QTEST_GUILESS_MAIN(TestKxInstanceLock)
#include "tst_kxinstancelock.moc"
