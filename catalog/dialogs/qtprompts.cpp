#include "qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QHash>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QString shownTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Catalog") : title;
}

// Often enough that a box closes as a disk comes in, seldom enough to be read when it is in
// already.
constexpr int SettledCheckMs = 250;

using ButtonAnswers = QHash<QAbstractButton*, Prompts::Answer>;

// Esc answers with the box's safe button: Cancel, No, or OK when it is alone.
ButtonAnswers addButtons(QMessageBox& box, Prompts::Buttons buttons) {
    using Answer = Prompts::Answer;
    switch (buttons) {
    case Prompts::Buttons::Ok:
        box.setIcon(QMessageBox::Information);
        return {{box.addButton(QMessageBox::Ok), Answer::Ok}};
    case Prompts::Buttons::OkCancel:
        box.setIcon(QMessageBox::Question);
        return {{box.addButton(QMessageBox::Ok), Answer::Ok},
                {box.addButton(QMessageBox::Cancel), Answer::Cancel}};
    case Prompts::Buttons::YesNo:
        box.setIcon(QMessageBox::Question);
        return {{box.addButton(QMessageBox::Yes), Answer::Yes},
                {box.addButton(QMessageBox::No), Answer::No}};
    case Prompts::Buttons::RetrySkipCancel:
        box.setIcon(QMessageBox::Warning);
        return {{box.addButton(QMessageBox::Retry), Answer::Retry},
                {box.addButton(QMessageBox::Cancel), Answer::Cancel},
                {box.addButton("&Skip", QMessageBox::RejectRole), Answer::Skip}};
    case Prompts::Buttons::ReplaceAddCancel: {
        box.setIcon(QMessageBox::Question);
        QPushButton* replace = box.addButton("&Replace", QMessageBox::AcceptRole);
        box.setDefaultButton(replace);
        return {{replace, Answer::Replace},
                {box.addButton("&Add", QMessageBox::AcceptRole), Answer::Add},
                {box.addButton(QMessageBox::Cancel), Answer::Cancel}};
    }
    }
    return {};
}

Prompts::Answer cautiousAnswer(Prompts::Buttons buttons) {
    switch (buttons) {
    case Prompts::Buttons::Ok:
        return Prompts::Answer::Ok;
    case Prompts::Buttons::YesNo:
        return Prompts::Answer::No;
    default:
        return Prompts::Answer::Cancel;
    }
}

// The kind of file a filter names, for the dialog's list of filters.
QString filterKind(const QString& filter) {
    if (filter.endsWith(".mdb"))
        return QStringLiteral("Catalogue");
    if (filter.contains(".m3u"))
        return QStringLiteral("Play lists");
    return QStringLiteral("Files");
}

} // namespace

Prompts::Answer QtPrompts::message(const QString& text, Buttons buttons, const QString& title,
                                   std::optional<Answer> defaultAnswer) {
    return ask(text, buttons, title, defaultAnswer, {});
}

Prompts::Answer QtPrompts::messageUntil(const QString& text, Buttons buttons, const QString& title,
                                        const SelfAnswer& self) {
    return ask(text, buttons, title, std::nullopt, self);
}

// A box the program closes has no button clicked, so the program's answer is kept beside it.
Prompts::Answer QtPrompts::ask(const QString& text, Buttons buttons, const QString& title,
                               std::optional<Answer> defaultAnswer, const SelfAnswer& self) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(shownTitle(title));
    box.setText(text);
    const ButtonAnswers answers = addButtons(box, buttons);
    if (defaultAnswer) {
        if (auto* button = qobject_cast<QPushButton*>(answers.key(*defaultAnswer)))
            box.setDefaultButton(button);
    }
    std::optional<Answer> selfAnswered;
    QTimer settledCheck;
    if (self.settled) {
        QObject::connect(&settledCheck, &QTimer::timeout, &box, [&] {
            if (!self.settled())
                return;
            selfAnswered = self.whenSettled;
            box.done(0);
        });
        settledCheck.start(SettledCheckMs);
    }
    box.exec();
    if (selfAnswered)
        return *selfAnswered;
    return answers.value(box.clickedButton(), cautiousAnswer(buttons));
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title,
                                        const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), shownTitle(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompts::openFile(const QString& title, const QString& filter,
                            const QString& defaultExtension) {
    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // a new name makes a new catalogue
    dialog.setNameFilters(
        {QStringLiteral("%1 (%2)").arg(filterKind(filter), filter), "All files (*)"});
    QString suffix = defaultExtension;
    suffix.remove("*.");
    dialog.setDefaultSuffix(suffix);
    dialog.setLabelText(QFileDialog::Accept, "&Open");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPrompts::saveFile(const QString& title, const QString& filter,
                            const QString& defaultExtension) {
    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        {QStringLiteral("%1 (%2)").arg(filterKind(filter), filter), "All files (*)"});
    dialog.setDefaultSuffix(QString(defaultExtension).remove("*."));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
