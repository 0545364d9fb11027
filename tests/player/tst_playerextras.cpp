// The player window's hidden options: "&Layered" and "&Credits".
#include "frmcredits.h"
#include "layered.h"
#include "playerrig.h"
#include "runtestclasses.h"
#include "statuspanels.h"

#include <QAction>
#include <QApplication>

class LayeredOption : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("layered");
        QTest::addColumn<int>("opacity");
        QTest::newRow("proposed 150") << std::optional<QString>("150") << true << true << 150;
        QTest::newRow("opaque 255") << std::optional<QString>(" 255 ") << true << true << 255;
        QTest::newRow("invisible 0") << std::optional<QString>("0") << true << true << 0;
        QTest::newRow("too large 300") << std::optional<QString>("300") << false << false << 255;
        QTest::newRow("negative") << std::optional<QString>("-1") << false << false << 255;
        QTest::newRow("text") << std::optional<QString>("half") << false << false << 255;
        QTest::newRow("empty") << std::optional<QString>("") << false << false << 255;
        QTest::newRow("cancelled") << std::optional<QString>() << false << false << 255;
    }
    void answers() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, checked);
        QFETCH(bool, layered);
        QFETCH(int, opacity);
        PlayerRig rig;
        rig.prompts.inputs.push_back(answer);
        TreePlayer* w = rig.openShown();
        w->mnuLayered->trigger();

        QCOMPARE(rig.prompts.asked.size(), size_t(1)); // the question only, never a complaint
        QCOMPARE(rig.prompts.asked[0].kind, QString("input"));
        QCOMPARE(rig.prompts.asked[0].text, QString("Set Value:"));
        QCOMPARE(rig.prompts.asked[0].title, QString("Translucency Value"));
        QCOMPARE(rig.prompts.asked[0].defaultText, QString("150"));
        QCOMPARE(w->mnuLayered->isChecked(), checked);
        QCOMPARE(Layered::isLayered(w), layered);
        QCOMPARE(int(Layered::opacity(w)), opacity);
        QVERIFY(qAbs(w->windowOpacity() - opacity / 255.0) <= 1 / 255.0);
        QVERIFY(w->isVisible()); // even at 0 the window is still there
    }

    void offMakesTheWindowOpaqueAndAsksNothing() {
        PlayerRig rig;
        rig.prompts.inputs = {QString("100"), QString("lots")};
        TreePlayer* w = rig.openShown();
        w->mnuLayered->trigger();
        QCOMPARE(int(Layered::opacity(w)), 100);

        w->mnuLayered->trigger();
        QVERIFY(!w->mnuLayered->isChecked());
        QVERIFY(Layered::isLayered(w));
        QCOMPARE(int(Layered::opacity(w)), 255);
        QCOMPARE(rig.prompts.asked.size(), size_t(1));

        // A wrong answer later leaves the window as it was, with a quiet hint.
        w->mnuLayered->trigger();
        QVERIFY(!w->mnuLayered->isChecked());
        QCOMPARE(int(Layered::opacity(w)), 255);
        QVERIFY(w->StatusBar1->panelText(1).contains("0 to 255"));
    }

    void theOptionsStayHidden() {
        PlayerRig rig;
        TreePlayer* w = rig.open();
        QVERIFY(!w->mnuLayered->isVisible());
        QVERIFY(!w->mnuCredits->isVisible());
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

        credits->Timer2->stop();
        for (int tick = 0; tick < 50; ++tick) {
            credits->moveTick();
            QVERIFY(area.contains(credits->frameGeometry()));
        }

        w->mnuCredits->trigger();
        QVERIFY(!w->credits());
        QVERIFY(!w->mnuCredits->isChecked());
    }

    void closedByItselfTakesTheCheckMark() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        w->mnuCredits->trigger();
        QVERIFY(w->credits());
        w->credits()->close();
        QTRY_VERIFY(!w->credits());
        QVERIFY(!w->mnuCredits->isChecked());

        w->mnuCredits->trigger(); // opens again, fresh
        QVERIFY(w->credits());
        QVERIFY(w->mnuCredits->isChecked());
        QCOMPARE(w->credits()->alpha(), quint8(0));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LayeredOption layered;
    CreditsOption credits;
    return runTestClasses(argc, argv, {&layered, &credits});
}

#include "tst_playerextras.moc"
