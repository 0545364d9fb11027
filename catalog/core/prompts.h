#pragma once

#include <QString>
#include <functional>
#include <optional>

// Every question the program asks a person goes through here, so tests can script the answers.
class Prompts {
public:
    enum class Buttons { Ok, OkCancel, YesNo, RetrySkipCancel, ReplaceAddCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry, Skip, Replace, Add };

    // What a question the program may answer itself waits for, and the answer it then gets.
    struct SelfAnswer {
        std::function<bool()> settled; // asked now and then while the question is open
        Answer whenSettled = Answer::Ok;
    };

    virtual ~Prompts() = default;

    // An empty title shows the program's name. `defaultAnswer`, one of the buttons' answers,
    // is the one Enter gives; without it the toolkit chooses, which is usually the first button
    // (Yes), so a question whose Yes destroys something names No.
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok,
                           const QString& title = {},
                           std::optional<Answer> defaultAnswer = std::nullopt) = 0;
    // A message that closes by itself with `self.whenSettled` once `self.settled` holds, and
    // that the person may still answer before. Prompts that cannot close a question by
    // themselves ask it as a plain message.
    virtual Answer messageUntil(const QString& text, Buttons buttons, const QString& title,
                                const SelfAnswer& /*self*/) {
        return message(text, buttons, title);
    }
    // The text typed, or nothing when the person cancelled.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText) = 0;
    // A file to open or to create (a name that does not exist yet is allowed); empty when
    // cancelled. `filter` is a pattern such as "*.mdb"; `defaultExtension` is added to a bare name.
    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& defaultExtension) = 0;
    // A file to write, the person having agreed to replace it if it exists; empty when
    // cancelled. `defaultExtension` is added to a name typed without one.
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& defaultExtension) = 0;
};
