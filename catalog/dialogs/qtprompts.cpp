#include "qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QString shownTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Catalog") : title;
}

} // namespace

Prompts::Answer QtPrompts::message(const QString& text, Buttons buttons, const QString& title) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(shownTitle(title));
    box.setText(text);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setIcon(QMessageBox::Information);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setIcon(QMessageBox::Question);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setIcon(QMessageBox::Question);
        break;
    case Buttons::RetrySkipCancel: {
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        QPushButton* skip = box.addButton("&Skip", QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == skip)
            return Answer::Skip;
        return box.clickedButton() == box.button(QMessageBox::Retry) ? Answer::Retry
                                                                     : Answer::Cancel;
    }
    case Buttons::ReplaceAddCancel: {
        box.setIcon(QMessageBox::Question);
        QPushButton* replace = box.addButton("&Replace", QMessageBox::AcceptRole);
        QPushButton* add = box.addButton("&Add", QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(replace);
        box.exec();
        if (box.clickedButton() == replace)
            return Answer::Replace;
        return box.clickedButton() == add ? Answer::Add : Answer::Cancel;
    }
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
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
    const QString kind =
        filter.endsWith(".mdb") ? QStringLiteral("Catalogue") : QStringLiteral("Files");
    dialog.setNameFilters({QStringLiteral("%1 (%2)").arg(kind, filter), "All files (*)"});
    QString suffix = defaultExtension;
    suffix.remove("*.");
    dialog.setDefaultSuffix(suffix);
    dialog.setLabelText(QFileDialog::Accept, "&Open");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
