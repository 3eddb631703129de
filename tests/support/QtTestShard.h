// Runs a long Qt Test program as several ctest tests at once: with
// QUILLMERE_TEST_SHARD=K/N in the environment, only every N-th test function,
// starting with the K-th (from 0), runs; without it, all of them.
#pragma once

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QStringList>
#include <QtTest>

inline int ExecTestShard(QObject& test, int argc, char** argv) {
    const QByteArray shard = qgetenv("QUILLMERE_TEST_SHARD");
    if (shard.isEmpty())
        return QTest::qExec(&test, argc, argv);
    const QList<QByteArray> parts = shard.split('/');
    bool ok = parts.size() == 2;
    const int index = ok ? parts[0].toInt(&ok) : 0;
    const int count = ok ? parts[1].toInt(&ok) : 0;
    if (!ok || count < 1 || index < 0 || index >= count)
        qFatal("QUILLMERE_TEST_SHARD must be K/N with 0 <= K < N");

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QMetaObject* meta = test.metaObject();
    const QStringList fixtures = {QStringLiteral("initTestCase"), QStringLiteral("cleanupTestCase"),
                                  QStringLiteral("init"), QStringLiteral("cleanup")};
    int position = 0;
    for (int m = meta->methodOffset(); m < meta->methodCount(); ++m) {
        const QMetaMethod method = meta->method(m);
        const QString name = QString::fromLatin1(method.name());
        if (method.methodType() != QMetaMethod::Slot || method.access() != QMetaMethod::Private ||
            method.parameterCount() != 0 || fixtures.contains(name) || name.endsWith(QLatin1String("_data")))
            continue;
        if (position++ % count == index)
            arguments << name;
    }
    return QTest::qExec(&test, arguments);
}
