// Builds the UI text table file "lang.mfd" from a plain list of numbered texts.
//
// Input lines: "<number><TAB><text>"; blank lines and lines starting with '#' are ignored.
// Output: 252 slots of 260 bytes; slot n holds text n as UTF-8, NUL-terminated (at most 259 bytes).
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {
constexpr int kSlots = 252;
constexpr int kSlotSize = 260;
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mosaiq-langgen TEXTS.txt lang.mfd\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "mosaiq-langgen: cannot read %s\n", argv[1]);
        return 1;
    }
    QByteArray table(kSlots * kSlotSize, '\0');
    int lineNo = 0;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine().trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const int tab = line.indexOf('\t');
        bool ok = false;
        const int n = tab > 0 ? line.left(tab).toInt(&ok) : -1;
        const QByteArray text = tab > 0 ? line.mid(tab + 1).trimmed() : QByteArray();
        if (!ok || n < 0 || n >= kSlots || text.size() >= kSlotSize) {
            std::fprintf(stderr, "%s:%d: bad entry\n", argv[1], lineNo);
            return 1;
        }
        std::memcpy(table.data() + n * kSlotSize, text.constData(), size_t(text.size()));
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(table) != table.size()) {
        std::fprintf(stderr, "mosaiq-langgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
