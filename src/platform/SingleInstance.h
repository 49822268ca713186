#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace mosaiq {

// The identifier that keeps the editor to one running copy per user.
inline constexpr char kSingleInstanceId[] = "7D2A9C41-5B3E-4f08-A1C6-2E9B7D4F0A53";

// Keeps the editor to one running copy per user. The first copy listens on a local socket named
// by the identifier and the user id; a later copy connects, asks the first to show itself, and
// is told to exit. A socket left behind by a crashed copy (nobody answers) is removed and taken
// over. MOSAIQ_INSTANCE_NAME replaces the name (tests use their own).
class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit SingleInstanceGuard(QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when this process is the first copy and now owns the name; false when another copy
    // runs (it has been asked to show itself) — this process should then exit.
    // Files named on the command line go to the running copy with the request (absolute paths).
    bool TryBecomePrimary(const QStringList& paths = {});

    QString ServerName() const { return m_name; }

Q_SIGNALS:
    // A second start asked this copy to show its window (restored, in front).
    void activationRequested();
    // A second start handed over files to open (after activationRequested).
    void filesRequested(const QStringList& paths);

private:
    bool AskRunningCopyToShow(const QStringList& paths);
    void OnNewConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace mosaiq
