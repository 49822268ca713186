#pragma once

// The system dialogs the controls open, behind an interface so that tests can answer them. The
// program uses QtDialogProvider; tests install a ScriptedDialogProvider.

#include <QColor>

#include <deque>
#include <optional>

class QWidget;

namespace mosaiq {

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // The colour dialog (full, any colour) starting at `initial`; nothing when cancelled.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) = 0;
};

class QtDialogProvider : public DialogProvider {
public:
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
};

// Answers from a queue of prepared answers (nothing: cancelled) and records what was asked.
class ScriptedDialogProvider : public DialogProvider {
public:
    std::optional<QColor> ChooseColour(QWidget*, const QColor& initial) override {
        m_asked.push_back(initial);
        if (m_answers.empty())
            return std::nullopt;
        const std::optional<QColor> answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    void Answer(std::optional<QColor> colour) { m_answers.push_back(colour); }
    const std::deque<QColor>& Asked() const { return m_asked; }

private:
    std::deque<std::optional<QColor>> m_answers;
    std::deque<QColor> m_asked;
};

// The provider the controls use; a QtDialogProvider unless one was installed.
DialogProvider& Dialogs();
// Installs a provider (not owned; nullptr restores the Qt dialogs).
void SetDialogProvider(DialogProvider* provider);

} // namespace mosaiq
