#pragma once

#include <QString>
#include <QStringList>

namespace mosaiq {

// How the engine tells the user something. Engine operations never show windows: they call the
// current notifier, which the widget layer implements with message boxes (caption "Mosaiq Photo
// Editor", information icon) and tests implement by recording the texts.
class Notifier {
public:
    virtual ~Notifier() = default;
    // An information message ("Please select a photo on the canvas.").
    virtual void Inform(const QString& text) = 0;
    // A warning about a failed operation (a file that could not be written or read).
    virtual void Warn(const QString& text) = 0;
};

// The notifier in use; never null (the default writes to standard error).
Notifier& CurrentNotifier();
// Installs a notifier (not owned); nullptr restores the default.
void SetNotifier(Notifier* notifier);

inline void Inform(const QString& text) { CurrentNotifier().Inform(text); }
inline void Warn(const QString& text) { CurrentNotifier().Warn(text); }

// A notifier that keeps every text, for tests and for headless runs that report at the end.
class RecordingNotifier : public Notifier {
public:
    void Inform(const QString& text) override { messages.append(text); }
    void Warn(const QString& text) override { messages.append(text); }
    QStringList messages;
};

// Installs a notifier for the lifetime of this object and restores the previous one afterwards.
class ScopedNotifier {
public:
    explicit ScopedNotifier(Notifier* notifier);
    ~ScopedNotifier();
    ScopedNotifier(const ScopedNotifier&) = delete;
    ScopedNotifier& operator=(const ScopedNotifier&) = delete;

private:
    Notifier* m_previous;
};

} // namespace mosaiq
