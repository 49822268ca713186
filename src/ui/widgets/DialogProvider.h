#pragma once

// The system dialogs and questions the program opens, behind an interface so that tests can
// answer them. The program uses QtDialogProvider; tests install a ScriptedDialogProvider.
// Filters use Qt's syntax ("Pictures (*.jpg *.png);;All files (*)").

#include <QColor>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

class QMessageBox;
class QWidget;

namespace mosaiq {

// The caption of the program's message boxes.
QString MessageCaption();
// Widens a message box so that its caption fits the title bar a window manager draws (a short
// message would otherwise leave the caption cut).
void FitMessageBoxToCaption(QMessageBox& box);
// An information (or warning) message box with the program's caption, wide enough for it.
void ShowMessageBox(QWidget* parent, const QString& text, bool warning);

// The answer to a question with Yes, No and (where offered) Cancel; OK answers Yes.
enum class Answer { Yes, No, Cancel };

// A question drawn otherwise than Ask draws it.
struct Question {
    QString text;
    QString caption;       // empty: the program's name
    bool okCancel = false; // OK and Cancel (Escape: Cancel) instead of Yes and No
    bool warning = false;  // the warning icon instead of the information icon
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // The colour dialog (full, any colour) starting at `initial`; nothing when cancelled.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) = 0;
    // One existing file; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    // Several existing files; empty when cancelled.
    virtual QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& dir,
                                      const QString& filter) = 0;
    // A file to write (asks before replacing one); empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    // The same, also telling which of filter's ";;"-separated entries was chosen (empty when
    // the dialog cannot tell).
    virtual QString SaveFileNameAndType(QWidget* parent, const QString& caption,
                                        const QString& dir, const QString& filter,
                                        QString* chosenFilter) {
        if (chosenFilter)
            chosenFilter->clear();
        return SaveFileName(parent, caption, dir, filter);
    }
    // A folder; empty when cancelled.
    virtual QString ExistingDirectory(QWidget* parent, const QString& caption,
                                      const QString& dir) = 0;
    // A question in a message box with the program's caption: Yes and No, and Cancel when
    // withCancel (Escape or closing the box answers Cancel, or No without Cancel).
    virtual Answer Ask(QWidget* parent, const QString& text, bool withCancel) = 0;
    // A question with its own caption, buttons and icon.
    virtual Answer AskQuestion(QWidget* parent, const Question& question) = 0;
};

class QtDialogProvider : public DialogProvider {
public:
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& dir,
                              const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileNameAndType(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter, QString* chosenFilter) override;
    QString ExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) override;
    Answer Ask(QWidget* parent, const QString& text, bool withCancel) override;
    Answer AskQuestion(QWidget* parent, const Question& question) override;
};

// Answers from queues of prepared answers (an empty queue: cancelled) and records what was asked.
class ScriptedDialogProvider : public DialogProvider {
public:
    std::optional<QColor> ChooseColour(QWidget*, const QColor& initial) override {
        m_asked.push_back(initial);
        return Take(m_answers, std::optional<QColor>());
    }
    QString OpenFileName(QWidget*, const QString& caption, const QString&,
                         const QString& filter) override {
        m_fileCaptions << caption;
        m_filters << filter;
        return Take(m_files, QStringList()).value(0);
    }
    QStringList OpenFileNames(QWidget*, const QString& caption, const QString&,
                              const QString& filter) override {
        m_fileCaptions << caption;
        m_filters << filter;
        return Take(m_files, QStringList());
    }
    QString SaveFileName(QWidget*, const QString& caption, const QString& dir,
                         const QString& filter) override {
        m_fileCaptions << caption;
        m_filters << filter;
        m_startNames << dir;
        return Take(m_files, QStringList()).value(0);
    }
    QString SaveFileNameAndType(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter, QString* chosenFilter) override {
        m_startFilters << (chosenFilter ? *chosenFilter : QString());
        const QString chosen = Take(m_chosenFilters, QString());
        if (chosenFilter)
            *chosenFilter = chosen;
        return SaveFileName(parent, caption, dir, filter);
    }
    QString ExistingDirectory(QWidget*, const QString& caption, const QString&) override {
        m_fileCaptions << caption;
        return Take(m_files, QStringList()).value(0);
    }
    mosaiq::Answer Ask(QWidget*, const QString& text, bool withCancel) override {
        m_questions << text;
        m_questionForms.push_back({text, QString(), false, false});
        return Take(m_replies, withCancel ? mosaiq::Answer::Cancel : mosaiq::Answer::No);
    }
    mosaiq::Answer AskQuestion(QWidget*, const mosaiq::Question& question) override {
        m_questions << question.text;
        m_questionForms.push_back(question);
        return Take(m_replies, question.okCancel ? mosaiq::Answer::Cancel : mosaiq::Answer::No);
    }

    void Answer(std::optional<QColor> colour) { m_answers.push_back(colour); }
    // The next file dialog returns these paths (none: cancelled).
    void AnswerFiles(const QStringList& paths) { m_files.push_back(paths); }
    // The next save dialog reports this filter as chosen (none queued: empty).
    void AnswerFilter(const QString& filter) { m_chosenFilters.push_back(filter); }
    // The next question is answered so.
    void Reply(mosaiq::Answer answer) { m_replies.push_back(answer); }
    const std::deque<QColor>& Asked() const { return m_asked; }
    const QStringList& Questions() const { return m_questions; }
    // Every question as it was drawn (Ask's with an empty caption, Yes and No, information icon).
    const std::deque<mosaiq::Question>& QuestionForms() const { return m_questionForms; }
    const QStringList& FileCaptions() const { return m_fileCaptions; }
    const QStringList& Filters() const { return m_filters; }
    // The name (or path) each save dialog started with.
    const QStringList& StartNames() const { return m_startNames; }
    // The filter each save dialog with a type list started on (empty: the first).
    const QStringList& StartFilters() const { return m_startFilters; }

private:
    template <typename T> static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }

    std::deque<std::optional<QColor>> m_answers;
    std::deque<QStringList> m_files;
    std::deque<mosaiq::Answer> m_replies;
    std::deque<QColor> m_asked;
    QStringList m_questions;
    std::deque<mosaiq::Question> m_questionForms;
    QStringList m_fileCaptions;
    QStringList m_filters;
    QStringList m_startNames;
    QStringList m_startFilters;
    std::deque<QString> m_chosenFilters;
};

// The provider the program uses; a QtDialogProvider unless one was installed.
DialogProvider& Dialogs();
// Installs a provider (not owned; nullptr restores the Qt dialogs).
void SetDialogProvider(DialogProvider* provider);

} // namespace mosaiq
