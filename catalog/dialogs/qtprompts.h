#pragma once

#include "prompts.h"

class QWidget;

// Prompts shown as the toolkit's message, input and file dialogs.
class QtPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons buttons, const QString& title,
                   std::optional<Answer> defaultAnswer = std::nullopt) override;
    Answer messageUntil(const QString& text, Buttons buttons, const QString& title,
                        const SelfAnswer& self) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    QString openFile(const QString& title, const QString& filter,
                     const QString& defaultExtension) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& defaultExtension) override;

private:
    Answer ask(const QString& text, Buttons buttons, const QString& title,
               std::optional<Answer> defaultAnswer, const SelfAnswer& self);
};
