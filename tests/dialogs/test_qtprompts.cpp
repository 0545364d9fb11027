// The toolkit's prompts: what a person gets by pressing Esc or closing the box instead of
// choosing a button, and a box the program closes itself.
#include "qtprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(Prompts::Buttons)
Q_DECLARE_METATYPE(Prompts::Answer)

namespace {

enum class Dismiss { Escape, Close };

// Dismisses the next modal box once it is up.
void dismissNextBox(Dismiss how) {
    QTimer::singleShot(0, [how] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            dismissNextBox(how); // not up yet
            return;
        }
        if (how == Dismiss::Escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
    });
}

} // namespace

class QtPromptsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dismissingAMessageNeverAgrees_data() {
        QTest::addColumn<Prompts::Buttons>("buttons");
        QTest::addColumn<int>("how");
        QTest::addColumn<Prompts::Answer>("answer");
        const auto esc = static_cast<int>(Dismiss::Escape);
        const auto close = static_cast<int>(Dismiss::Close);
        QTest::newRow("Yes/No, Esc") << Prompts::Buttons::YesNo << esc << Prompts::Answer::No;
        QTest::newRow("Yes/No, closed") << Prompts::Buttons::YesNo << close << Prompts::Answer::No;
        QTest::newRow("OK/Cancel, Esc")
            << Prompts::Buttons::OkCancel << esc << Prompts::Answer::Cancel;
        QTest::newRow("OK/Cancel, closed")
            << Prompts::Buttons::OkCancel << close << Prompts::Answer::Cancel;
        QTest::newRow("Retry/Skip/Cancel, Esc")
            << Prompts::Buttons::RetrySkipCancel << esc << Prompts::Answer::Cancel;
        QTest::newRow("OK, Esc") << Prompts::Buttons::Ok << esc << Prompts::Answer::Ok;
    }

    void dismissingAMessageNeverAgrees() {
        QFETCH(Prompts::Buttons, buttons);
        QFETCH(int, how);
        QFETCH(Prompts::Answer, answer);
        QtPrompts prompts;
        dismissNextBox(static_cast<Dismiss>(how));
        QCOMPARE(
            prompts.message("Are you sure you want to Empty the DB?", buttons, "Emptying DB..."),
            answer);
    }

    void eachButtonGivesItsAnswer_data() {
        QTest::addColumn<Prompts::Buttons>("buttons");
        QTest::addColumn<QString>("button");
        QTest::addColumn<Prompts::Answer>("answer");
        using B = Prompts::Buttons;
        using A = Prompts::Answer;
        QTest::newRow("OK") << B::OkCancel << "OK" << A::Ok;
        QTest::newRow("Yes") << B::YesNo << "Yes" << A::Yes;
        QTest::newRow("Retry") << B::RetrySkipCancel << "Retry" << A::Retry;
        QTest::newRow("Skip") << B::RetrySkipCancel << "Skip" << A::Skip;
        QTest::newRow("Replace") << B::ReplaceAddCancel << "Replace" << A::Replace;
        QTest::newRow("Add") << B::ReplaceAddCancel << "Add" << A::Add;
        QTest::newRow("Cancel") << B::ReplaceAddCancel << "Cancel" << A::Cancel;
    }

    void eachButtonGivesItsAnswer() {
        QFETCH(Prompts::Buttons, buttons);
        QFETCH(QString, button);
        QFETCH(Prompts::Answer, answer);
        QtPrompts prompts;
        QTimer::singleShot(0, [button] {
            QWidget* box = QApplication::activeModalWidget();
            for (auto* shown : box->findChildren<QAbstractButton*>()) {
                if (shown->text().remove('&') == button) {
                    shown->click();
                    return;
                }
            }
            QTest::keyClick(box, Qt::Key_Escape); // no such button
        });
        QCOMPARE(prompts.message("A disk with this name is in the catalogue.", buttons, {}),
                 answer);
    }

    // Enter alone answers with the button the question names; unnamed, with the first.
    void enterGivesTheNamedDefault() {
        QtPrompts prompts;
        for (const auto named :
             {std::optional(Prompts::Answer::No), std::optional<Prompts::Answer>()}) {
            QTimer::singleShot(
                0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
            QCOMPARE(prompts.message("Are you sure you want to Empty the DB?",
                                     Prompts::Buttons::YesNo, "Emptying DB...", named),
                     named ? Prompts::Answer::No : Prompts::Answer::Yes);
        }
    }

    // The box is up until the program's wait is over, then closes with the program's answer.
    void closesItselfOnceSettled() {
        QtPrompts prompts;
        bool settled = false;
        bool shownMeanwhile = false;
        QTimer::singleShot(300, [&] {
            shownMeanwhile = QApplication::activeModalWidget() != nullptr;
            settled = true;
        });
        QTimer giveUp; // a box the program leaves open is dismissed: the answer is Cancel
        giveUp.callOnTimeout(
            [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        giveUp.start(3000);
        QCOMPARE(prompts.messageUntil("Please Insert Disk - Jazz", Prompts::Buttons::OkCancel, {},
                                      {[&] { return settled; }, Prompts::Answer::Ok}),
                 Prompts::Answer::Ok);
        QVERIFY(shownMeanwhile);
    }

    void personAnswersBeforeTheProgram() {
        QtPrompts prompts;
        dismissNextBox(Dismiss::Escape);
        QCOMPARE(prompts.messageUntil("Please Insert Disk - Jazz", Prompts::Buttons::OkCancel, {},
                                      {[] { return false; }, Prompts::Answer::Ok}),
                 Prompts::Answer::Cancel);
    }

    void inputGivesTheTextOrNothingWhenCancelled() {
        QtPrompts prompts;
        QTimer::singleShot(0, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            auto* edit = box->findChild<QLineEdit*>();
            QVERIFY(edit);
            QCOMPARE(edit->text(), QString("MP3"));
            edit->setText("New");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(prompts.input("Directory to Create:", "Get Directory Name", "MP3"),
                 std::optional<QString>("New"));
        dismissNextBox(Dismiss::Escape);
        QCOMPARE(prompts.input("Directory to Create:", "Get Directory Name", "MP3"),
                 std::optional<QString>());
    }

    // A name typed without the extension gets it; Esc gives no file.
    void saveFileAddsTheExtensionOrGivesNothing() {
        QtPrompts prompts;
        QTemporaryDir dir;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog && dialog->acceptMode() == QFileDialog::AcceptSave);
            dialog->setDirectory(dir.path());
            dialog->selectFile("mix");
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it
        });
        QCOMPARE(prompts.saveFile("Save Play List", "*.m3u8", "m3u8"), dir.filePath("mix.m3u8"));
        dismissNextBox(Dismiss::Escape);
        QCOMPARE(prompts.saveFile("Save Play List", "*.m3u8", "m3u8"), QString());
    }
};

QTEST_MAIN(QtPromptsTest)
#include "test_qtprompts.moc"
