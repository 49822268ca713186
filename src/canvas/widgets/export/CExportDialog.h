#pragma once

// The size of a Save Collage export, asked after the file dialog: as a scale of the canvas, or
// as a paper format fitted at a resolution; shows the resulting pixel size and names each photo
// the size would enlarge past its own resolution.

#include "canvas/output/ExportSize.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace mosaiq {

class CollageDocument;

class CExportDialog : public QDialog {
    Q_OBJECT
public:
    // extension: the chosen file's, lower case ("pdf" offers the page the size gives).
    CExportDialog(const CollageDocument& document, const QString& extension,
                  QWidget* parent = nullptr);

    // What the controls say now.
    ExportSettings Settings() const;
    // Shows settings (a size chosen before); a dpi of 0 leaves the default resolution.
    void SetSettings(const ExportSettings& settings);
    // The pixel size line and the warning lines as shown.
    QString SizeText() const;
    QString WarningText() const;

    // Controls, for tests and for the runner below.
    QRadioButton* ScaleChoice() const { return m_byScale; }
    QRadioButton* PaperChoice() const { return m_byPaper; }
    QDoubleSpinBox* ScaleBox() const { return m_scale; }
    QComboBox* PaperBox() const { return m_paper; }
    QSpinBox* DpiBox() const { return m_dpi; }

    // Tests answer the dialog without showing it: runner gets the dialog and returns the
    // QDialog result. An empty runner shows it with exec().
    using Runner = std::function<int(CExportDialog&)>;
    static void SetRunner(Runner runner);
    int Run();

private:
    void Update();

    const CollageDocument& m_document;
    QString m_extension;
    QRadioButton* m_byScale = nullptr;
    QRadioButton* m_byPaper = nullptr;
    QDoubleSpinBox* m_scale = nullptr;
    QComboBox* m_paper = nullptr;
    QSpinBox* m_dpi = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_warnings = nullptr;
    QWidget* m_ok = nullptr;
};

} // namespace mosaiq
