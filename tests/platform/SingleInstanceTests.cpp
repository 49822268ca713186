#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QUuid>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {
QByteArray UniqueName() {
    return "mosaiq-test-" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
}
} // namespace

TEST(SingleInstance, SecondCopyAsksFirstToShowAndStandsDown) {
    qputenv("MOSAIQ_INSTANCE_NAME", UniqueName());
    SingleInstanceGuard first;
    ASSERT_TRUE(first.TryBecomePrimary());
    int activations = 0;
    QObject::connect(&first, &SingleInstanceGuard::activationRequested, [&] { ++activations; });

    SingleInstanceGuard second;
    EXPECT_FALSE(second.TryBecomePrimary());
    QElapsedTimer timer;
    timer.start();
    while (activations == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(activations, 1);
}

TEST(SingleInstance, LeftoverSocketFromCrashIsTakenOver) {
    const QByteArray name = UniqueName();
    qputenv("MOSAIQ_INSTANCE_NAME", name);
    {
        // A server that stops listening without removing its socket file stands for a crash;
        // afterwards nobody answers on the name.
        QLocalServer stale;
        ASSERT_TRUE(stale.listen(QString::fromLatin1(name)));
    }
    SingleInstanceGuard guard;
    EXPECT_TRUE(guard.TryBecomePrimary());
}

TEST(SingleInstance, SecondStartHandsItsFilesToTheRunningCopy) {
    qputenv("MOSAIQ_INSTANCE_NAME", UniqueName());
    SingleInstanceGuard first;
    ASSERT_TRUE(first.TryBecomePrimary());
    QStringList received;
    int activations = 0;
    QObject::connect(&first, &SingleInstanceGuard::activationRequested, [&] { ++activations; });
    QObject::connect(&first, &SingleInstanceGuard::filesRequested,
                     [&](const QStringList& paths) { received = paths; });

    SingleInstanceGuard second;
    const QStringList files{QStringLiteral("/photos/été 2026/collage.dcf"),
                            QStringLiteral("/tmp/pack.irs")};
    EXPECT_FALSE(second.TryBecomePrimary(files));
    QElapsedTimer timer;
    timer.start();
    while (received.isEmpty() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(received, files);
}
