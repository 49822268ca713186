#include "core/Notifier.h"

#include <cstdio>

namespace mosaiq {
namespace {

class StderrNotifier : public Notifier {
public:
    void Inform(const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    void Warn(const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
};

StderrNotifier g_default;
Notifier* g_current = nullptr;

} // namespace

Notifier& CurrentNotifier() { return g_current ? *g_current : g_default; }

void SetNotifier(Notifier* notifier) { g_current = notifier; }

ScopedNotifier::ScopedNotifier(Notifier* notifier) : m_previous(g_current) { g_current = notifier; }

ScopedNotifier::~ScopedNotifier() { g_current = m_previous; }

} // namespace mosaiq
