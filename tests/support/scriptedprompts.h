#pragma once

#include "prompts.h"

#include <QDeadlineTimer>
#include <QTest>
#include <deque>
#include <utility>
#include <vector>

// Prompts answered from a script, recording every question asked. A question with no scripted
// answer gets the cautious one: OK for a plain message, otherwise Cancel or No.
class ScriptedPrompts : public Prompts {
public:
    struct Asked {
        QString kind; // "message", "input", "file" or "save"
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        QString defaultText;       // the proposed answer of an input
        bool selfAnswered = false; // answered by the program rather than the script
        std::optional<Answer> defaultAnswer = std::nullopt; // what Enter alone answers, if named
    };

    // Scripted for a question the program may answer itself: the person does not answer, and
    // the question stays open, the event loop turning, until the program answers it, the test
    // calls answerNow(), or waitLimitMs have passed, which fails the test.
    static constexpr Answer Wait = static_cast<Answer>(-1);
    int waitLimitMs = 5000;

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> files; // answers to both file questions, open and save
    std::vector<Asked> asked;

    Answer message(const QString& text, Buttons buttons, const QString& title,
                   std::optional<Answer> defaultAnswer = std::nullopt) override {
        asked.push_back({"message", text, title, buttons, {}, false, defaultAnswer});
        const Answer answer = nextAnswer(buttons);
        if (answer == Wait)
            QTest::qFail("a question the program cannot answer was scripted to wait", __FILE__,
                         __LINE__);
        return answer == Wait ? Answer::Cancel : answer;
    }

    Answer messageUntil(const QString& text, Buttons buttons, const QString& title,
                        const SelfAnswer& self) override {
        asked.push_back({"message", text, title, buttons, {}});
        const Answer answer = nextAnswer(buttons);
        return answer == Wait ? waitUntilSettled(self, asked.size() - 1) : answer;
    }

    // Answers the question waiting now, as a person pressing a button.
    void answerNow(Answer answer) { m_answerNow = answer; }

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
        return nextFile();
    }

    QString saveFile(const QString& title, const QString& filter,
                     const QString& defaultExtension) override {
        asked.push_back({"save", filter + " " + defaultExtension, title, Buttons::OkCancel, {}});
        return nextFile();
    }

    QStringList texts() const {
        QStringList all;
        for (const Asked& a : asked)
            all << a.text;
        return all;
    }

private:
    QString nextFile() {
        if (files.empty())
            return {};
        QString file = files.front();
        files.pop_front();
        return file;
    }

    Answer nextAnswer(Buttons buttons) {
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

    // `question` is the question's place in `asked`.
    Answer waitUntilSettled(const SelfAnswer& self, size_t question) {
        m_answerNow.reset();
        if (!self.settled) {
            QTest::qFail("a question the program cannot answer was scripted to wait", __FILE__,
                         __LINE__);
            return Answer::Cancel;
        }
        const QDeadlineTimer limit(waitLimitMs);
        while (!self.settled() && !m_answerNow && !limit.hasExpired())
            QTest::qWait(5);
        if (m_answerNow)
            return *std::exchange(m_answerNow, std::nullopt);
        if (!self.settled()) {
            QTest::qFail("the program did not answer the question in time", __FILE__, __LINE__);
            return Answer::Cancel;
        }
        asked[question].selfAnswered = true;
        return self.whenSettled;
    }

    std::optional<Answer> m_answerNow;
};
