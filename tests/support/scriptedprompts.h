#pragma once

#include "prompts.h"

#include <deque>
#include <vector>

// Prompts answered from a script, recording every question asked. A question with no scripted
// answer gets the cautious one: OK for a plain message, otherwise Cancel or No.
class ScriptedPrompts : public Prompts {
public:
    struct Asked {
        QString kind; // "message", "input" or "file"
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        QString defaultText; // the proposed answer of an input
    };

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> files;
    std::vector<Asked> asked;

    Answer message(const QString& text, Buttons buttons, const QString& title) override {
        asked.push_back({"message", text, title, buttons, {}});
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }

    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override {
        asked.push_back({"input", prompt, title, Buttons::OkCancel, defaultText});
        if (inputs.empty())
            return std::nullopt;
        const bool answered = inputs.front().has_value();
        const QString text = answered ? *inputs.front() : QString();
        inputs.pop_front();
        if (!answered)
            return std::nullopt;
        return text;
    }

    QString openFile(const QString& title, const QString& filter,
                     const QString& defaultExtension) override {
        asked.push_back({"file", filter + " " + defaultExtension, title, Buttons::OkCancel, {}});
        if (files.empty())
            return {};
        QString file = files.front();
        files.pop_front();
        return file;
    }

    QStringList texts() const {
        QStringList all;
        for (const Asked& a : asked)
            all << a.text;
        return all;
    }
};
