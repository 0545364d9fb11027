// The toolkit's prompts: what a person gets by pressing Esc or closing the box instead of
// choosing a button.
#include "qtprompts.h"

#include <QApplication>
#include <QLineEdit>
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
};

QTEST_MAIN(QtPromptsTest)
#include "test_qtprompts.moc"
