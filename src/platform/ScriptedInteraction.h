// A scripted stand-in for the user's dialogs: records what was shown and answers from queues.
#pragma once

#include "platform/Interaction.h"

#include <deque>
#include <vector>

class ScriptedInteraction : public Interaction {
public:
    struct Shown {
        QString kind;  // "message", "box", "question", "error", "save", "open", "input", "print", "port"
        QString text;  // message text, or the dialog's proposed name / prompt
        QString caption;
        FileDialogOptions file;  // for "save" and "open"
    };

    // Answers, consumed front first; an empty queue answers "cancel".
    std::deque<std::optional<QString>> saveAnswers, openAnswers, inputAnswers;
    std::deque<std::optional<int>> portAnswers;
    std::deque<bool> printAnswers;
    // Answers to Yes/No questions; an empty queue answers No, the default button.
    std::deque<bool> yesNoAnswers;

    std::vector<Shown> shown;

    void ShowMessage(const QString& text) override { shown.push_back({"message", text, {}, {}}); }
    void MessageBox(const QString& text, const QString& caption, Icon) override {
        shown.push_back({"box", text, caption, {}});
    }
    bool AskYesNo(const QString& text, const QString& caption) override {
        shown.push_back({"question", text, caption, {}});
        if (yesNoAnswers.empty()) return false;
        const bool yes = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return yes;
    }
    void ErrorBox(const QString& text) override { shown.push_back({"error", text, {}, {}}); }
    std::optional<QString> SaveFileName(const FileDialogOptions& o) override {
        shown.push_back({"save", o.proposedName, o.title, o});
        return Take(saveAnswers);
    }
    std::optional<QString> OpenFileName(const FileDialogOptions& o) override {
        shown.push_back({"open", o.proposedName, o.title, o});
        return Take(openAnswers);
    }
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override {
        shown.push_back({"input", prompt, caption, {}});
        (void)value;
        return Take(inputAnswers);
    }
    bool PrintDialog(QPrinter&) override {
        shown.push_back({"print", {}, {}, {}});
        if (printAnswers.empty()) return false;
        bool a = printAnswers.front();
        printAnswers.pop_front();
        return a;
    }
    std::optional<int> SelectPort(const QStringList& names) override {
        shown.push_back({"port", names.join(','), {}, {}});
        if (portAnswers.empty()) return std::nullopt;
        auto a = portAnswers.front();
        portAnswers.pop_front();
        return a;
    }

    // Texts shown of one kind, in order.
    QStringList Texts(const QString& kind) const {
        QStringList out;
        for (const auto& s : shown)
            if (s.kind == kind) out << s.text;
        return out;
    }
    void Clear() { shown.clear(); }

private:
    static std::optional<QString> Take(std::deque<std::optional<QString>>& q) {
        if (q.empty()) return std::nullopt;
        const bool answered = q.front().has_value();
        const QString text = answered ? *q.front() : QString();
        q.pop_front();
        if (!answered) return std::nullopt;
        return text;
    }
};
