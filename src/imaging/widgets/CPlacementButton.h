#pragma once

// One of the New Collage dialog's placement choices ("Center", "Tile", "Stretch"): a radio icon
// (skin icons 208 off and 209 on) followed by its caption. Pressing it issues its command id; the
// dialog decides which one is on.

#include <QWidget>

namespace mosaiq {

class CPlacementButton : public QWidget {
    Q_OBJECT
public:
    CPlacementButton(int commandId, const QString& caption, QWidget* parent = nullptr);

    void SetOn(bool on);
    bool IsOn() const { return m_on; }
    int CommandId() const { return m_commandId; }
    QString Caption() const { return m_caption; }

signals:
    void commandIssued(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_commandId;
    QString m_caption;
    bool m_on = false;
};

} // namespace mosaiq
