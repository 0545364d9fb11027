// The player window's hidden options: "&Layered" and "&Credits".
#include "frmcredits.h"
#include "layered.h"
#include "playerrig.h"
#include "runtestclasses.h"

#include <QAction>
#include <QApplication>

class LayeredOption : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("opacity");
        QTest::newRow("proposed 150") << std::optional<QString>("150") << true << 150;
        QTest::newRow("opaque 255") << std::optional<QString>(" 255 ") << true << 255;
        QTest::newRow("invisible 0") << std::optional<QString>("0") << true << 0;
        QTest::newRow("too large 300") << std::optional<QString>("300") << false << 255;
        QTest::newRow("text") << std::optional<QString>("half") << false << 255;
        QTest::newRow("empty") << std::optional<QString>("") << false << 255;
        QTest::newRow("cancelled") << std::optional<QString>() << false << 255;
    }
    void answers() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, checked);
        QFETCH(int, opacity);
        PlayerRig rig;
        rig.prompts.inputs.push_back(answer);
        TreePlayer* w = rig.openShown();
        w->mnuLayered->trigger();

        QCOMPARE(rig.prompts.asked.size(), size_t(1)); // the question only, never a complaint
        QCOMPARE(rig.prompts.asked[0].text, QString("Set Value:"));
        QCOMPARE(rig.prompts.asked[0].title, QString("Translucency Value"));
        QCOMPARE(rig.prompts.asked[0].defaultText, QString("150"));
        QCOMPARE(w->mnuLayered->isChecked(), checked);
        QCOMPARE(Layered::isLayered(w), checked);
        QCOMPARE(int(Layered::opacity(w)), opacity);
        QVERIFY(qAbs(w->windowOpacity() - opacity / 255.0) <= 1 / 255.0);
        QVERIFY(w->isVisible()); // even at 0 the window is still there
    }

    void offMakesTheWindowOpaqueAndAsksNothing() {
        PlayerRig rig;
        rig.prompts.inputs = {QString("100")};
        TreePlayer* w = rig.openShown();
        w->mnuLayered->trigger();
        QCOMPARE(int(Layered::opacity(w)), 100);

        w->mnuLayered->trigger();
        QVERIFY(!w->mnuLayered->isChecked());
        QVERIFY(Layered::isLayered(w));
        QCOMPARE(int(Layered::opacity(w)), 255);
        QCOMPARE(rig.prompts.asked.size(), size_t(1));
    }
};

class CreditsOption : public QObject {
    Q_OBJECT
private slots:
    void opensCentredOverThePlayerAndClosesAgain() {
        PlayerRig rig;
        rig.settings.set("Top", "1500");
        rig.settings.set("Left", "3000");
        TreePlayer* w = rig.openShown();
        w->mnuCredits->trigger();
        frmCredits* credits = w->credits();
        QVERIFY(credits);
        QVERIFY(w->mnuCredits->isChecked());
        QVERIFY(credits->isVisible());
        QCOMPARE(credits->alpha(), quint8(0)); // fading in from invisible

        const QRect area = w->creditsArea();
        QVERIFY(w->frameGeometry().contains(area));
        const QPoint offset = credits->frameGeometry().center() - area.center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1, "not centred");

        credits->moveTick();
        QVERIFY(area.contains(credits->frameGeometry()));

        w->mnuCredits->trigger();
        QVERIFY(!w->credits());
        QVERIFY(!w->mnuCredits->isChecked());

        // Closed some other way, the window takes the check mark with it.
        w->mnuCredits->trigger();
        w->credits()->close();
        QTRY_VERIFY(!w->credits());
        QVERIFY(!w->mnuCredits->isChecked());

        w->mnuCredits->trigger(); // left open, it goes with the player window
        QVERIFY(w->credits()->parent() == w);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LayeredOption layered;
    CreditsOption credits;
    return runTestClasses(argc, argv, {&layered, &credits});
}

#include "tst_playerextras.moc"
